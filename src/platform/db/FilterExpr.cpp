#include "platform/db/FilterExpr.h"
#include <QChar>
#include <cstring>

namespace {
using Op = TFilterExpr::Op;
using Node = TFilterExpr::Node;
using NodeType = TFilterExpr::NodeType;

constexpr int kMaxDepth = 200;
constexpr std::size_t kMaxTokens = 4000;

// ---- tokens ---------------------------------------------------------------------------------

enum class Tok { End, LParen, RParen, Cmp, Text, Name, Word };

struct Token {
    Tok Type = Tok::End;
    Op Cmp = Op::Eq;
    QString Text;
    int Pos = 0; // 1-based
};

bool IsWordChar(QChar c)
{
    return !c.isSpace() && c != u'(' && c != u')' && c != u'=' && c != u'<' && c != u'>' && c != u'!' &&
           c != u'\'' && c != u'[' && c != u'"';
}

bool Tokenize(const QString& s, std::vector<Token>& out, QString* error)
{
    qsizetype i = 0;
    const qsizetype n = s.size();
    auto fail = [&](const QString& msg) {
        if (error)
            *error = msg;
        return false;
    };
    while (true) {
        while (i < n && s.at(i).isSpace())
            ++i;
        Token t;
        t.Pos = static_cast<int>(i) + 1;
        if (i >= n) {
            out.push_back(t);
            return true;
        }
        const QChar c = s.at(i);
        if (c == u'(') {
            t.Type = Tok::LParen;
            ++i;
        } else if (c == u')') {
            t.Type = Tok::RParen;
            ++i;
        } else if (c == u'=' || c == u'<' || c == u'>' || c == u'!') {
            t.Type = Tok::Cmp;
            const QChar d = i + 1 < n ? s.at(i + 1) : QChar();
            if (c == u'=') {
                t.Cmp = Op::Eq;
                i += 1;
            } else if (c == u'<' && d == u'>') {
                t.Cmp = Op::Ne;
                i += 2;
            } else if (c == u'!' && d == u'=') {
                t.Cmp = Op::Ne;
                i += 2;
            } else if (c == u'<' && d == u'=') {
                t.Cmp = Op::Le;
                i += 2;
            } else if (c == u'>' && d == u'=') {
                t.Cmp = Op::Ge;
                i += 2;
            } else if (c == u'<') {
                t.Cmp = Op::Lt;
                i += 1;
            } else if (c == u'>') {
                t.Cmp = Op::Gt;
                i += 1;
            } else {
                return fail(QStringLiteral("Unexpected '!' at position %1").arg(t.Pos));
            }
        } else if (c == u'\'') {
            t.Type = Tok::Text;
            ++i;
            while (true) {
                if (i >= n)
                    return fail(QStringLiteral("Unterminated text starting at position %1").arg(t.Pos));
                if (s.at(i) == u'\'') {
                    if (i + 1 < n && s.at(i + 1) == u'\'') {
                        t.Text += u'\'';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                t.Text += s.at(i++);
            }
        } else if (c == u'[' || c == u'"') {
            const QChar close = c == u'[' ? QChar(u']') : QChar(u'"');
            t.Type = Tok::Name;
            const qsizetype end = s.indexOf(close, i + 1);
            if (end < 0)
                return fail(QStringLiteral("Missing '%1' for the name starting at position %2").arg(close).arg(t.Pos));
            t.Text = s.mid(i + 1, end - i - 1).trimmed();
            if (t.Text.isEmpty())
                return fail(QStringLiteral("Empty field name at position %1").arg(t.Pos));
            i = end + 1;
        } else {
            t.Type = Tok::Word;
            const qsizetype start = i;
            while (i < n && IsWordChar(s.at(i)))
                ++i;
            t.Text = s.mid(start, i - start);
        }
        out.push_back(std::move(t));
    }
}

// ---- syntax tree ----------------------------------------------------------------------------

struct Operand {
    enum Kind { None, Name, Word, Quoted, Null } Type = None;
    QString Text;
    int Pos = 0;
};

struct Ast {
    enum Kind { And, Or, Not, Compare, IsNull, Bare } Type = Compare;
    int Left = -1, Right = -1;
    Op Cmp = Op::Eq;
    bool Negate = false;
    Operand A, B;
};

bool IsKeyword(const Token& t, const char* word)
{
    return t.Type == Tok::Word && t.Text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

class Parser {
public:
    Parser(const std::vector<Token>& toks, std::vector<Ast>& ast, QString* error) : t_(toks), ast_(ast), error_(error) {}

    int ParseAll()
    {
        const int root = Or(0);
        if (root < 0)
            return -1;
        if (Cur().Type != Tok::End)
            return Fail(Unexpected(Cur()));
        return root;
    }

private:
    const Token& Cur() const { return t_[p_]; }
    int Fail(const QString& msg)
    {
        if (error_ && error_->isEmpty())
            *error_ = msg;
        return -1;
    }
    static QString Unexpected(const Token& t)
    {
        if (t.Type == Tok::End)
            return QStringLiteral("Unexpected end of the filter text");
        QString shown = t.Text;
        switch (t.Type) {
        case Tok::LParen: shown = QStringLiteral("("); break;
        case Tok::RParen: shown = QStringLiteral(")"); break;
        case Tok::Cmp: shown = QStringLiteral("comparison"); break;
        case Tok::Text: shown = u'\'' + t.Text + u'\''; break;
        default: break;
        }
        return QStringLiteral("Unexpected %1 at position %2").arg(shown).arg(t.Pos);
    }
    int Add(Ast a)
    {
        ast_.push_back(std::move(a));
        return static_cast<int>(ast_.size()) - 1;
    }

    int Or(int depth)
    {
        int left = And(depth);
        while (left >= 0 && IsKeyword(Cur(), "OR")) {
            ++p_;
            const int right = And(depth);
            if (right < 0)
                return -1;
            Ast a;
            a.Type = Ast::Or;
            a.Left = left;
            a.Right = right;
            left = Add(a);
        }
        return left;
    }
    int And(int depth)
    {
        int left = Not(depth);
        while (left >= 0 && IsKeyword(Cur(), "AND")) {
            ++p_;
            const int right = Not(depth);
            if (right < 0)
                return -1;
            Ast a;
            a.Type = Ast::And;
            a.Left = left;
            a.Right = right;
            left = Add(a);
        }
        return left;
    }
    int Not(int depth)
    {
        if (depth > kMaxDepth)
            return Fail(QStringLiteral("The filter text is nested too deeply"));
        if (IsKeyword(Cur(), "NOT")) {
            ++p_;
            const int inner = Not(depth + 1);
            if (inner < 0)
                return -1;
            Ast a;
            a.Type = Ast::Not;
            a.Left = inner;
            return Add(a);
        }
        return Primary(depth);
    }
    int Primary(int depth)
    {
        if (Cur().Type == Tok::LParen) {
            ++p_;
            const int inner = Or(depth + 1);
            if (inner < 0)
                return -1;
            if (Cur().Type != Tok::RParen)
                return Fail(Cur().Type == Tok::End ? QStringLiteral("Missing ')'") : Unexpected(Cur()));
            ++p_;
            return inner;
        }
        Ast a;
        if (!ReadOperand(a.A))
            return -1;
        if (IsKeyword(Cur(), "IS")) {
            ++p_;
            a.Type = Ast::IsNull;
            if (IsKeyword(Cur(), "NOT")) {
                a.Negate = true;
                ++p_;
            }
            if (!IsKeyword(Cur(), "NULL"))
                return Fail(Cur().Type == Tok::End ? Unexpected(Cur())
                                                   : QStringLiteral("NULL expected at position %1").arg(Cur().Pos));
            ++p_;
            return Add(a);
        }
        if (Cur().Type != Tok::Cmp) {
            a.Type = Ast::Bare;
            return Add(a);
        }
        a.Cmp = Cur().Cmp;
        ++p_;
        if (!ReadOperand(a.B))
            return -1;
        a.Type = Ast::Compare;
        return Add(a);
    }
    bool ReadOperand(Operand& o)
    {
        const Token& t = Cur();
        o.Pos = t.Pos;
        o.Text = t.Text;
        switch (t.Type) {
        case Tok::Text: o.Type = Operand::Quoted; break;
        case Tok::Name: o.Type = Operand::Name; break;
        case Tok::Word:
            if (IsKeyword(t, "AND") || IsKeyword(t, "OR") || IsKeyword(t, "NOT") || IsKeyword(t, "IS")) {
                Fail(Unexpected(t));
                return false;
            }
            o.Type = IsKeyword(t, "NULL") ? Operand::Null : Operand::Word;
            break;
        default:
            Fail(Unexpected(t));
            return false;
        }
        ++p_;
        return true;
    }

    const std::vector<Token>& t_;
    std::vector<Ast>& ast_;
    QString* error_;
    std::size_t p_ = 0;
};

bool ParseText(const QString& text, std::vector<Ast>& ast, int& root, QString* error)
{
    std::vector<Token> toks;
    QString err;
    if (!Tokenize(text, toks, &err)) {
        if (error)
            *error = err;
        return false;
    }
    root = -1;
    if (toks.size() == 1)
        return true; // blank text
    if (toks.size() > kMaxTokens) {
        if (error)
            *error = QStringLiteral("The filter text is too long");
        return false;
    }
    Parser p(toks, ast, &err);
    root = p.ParseAll();
    if (root < 0) {
        if (error)
            *error = err;
        return false;
    }
    return true;
}

// ---- comparing -------------------------------------------------------------------------------

inline char32_t NextCodePoint(const unsigned char*& p, const unsigned char* end)
{
    const unsigned char c = *p++;
    if (c < 0x80)
        return c;
    int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
    char32_t cp = extra == 3 ? (c & 0x07) : extra == 2 ? (c & 0x0F) : (c & 0x1F);
    if (extra == 0)
        return c;
    while (extra-- > 0 && p < end && (*p & 0xC0) == 0x80)
        cp = (cp << 6) | (*p++ & 0x3F);
    return cp;
}

inline char32_t Fold(char32_t c)
{
    if (c < 0x80)
        return (c >= 'A' && c <= 'Z') ? c + 32 : c;
    return QChar::toCaseFolded(c);
}

int CompareText(QByteArrayView a, QByteArrayView b, bool ci)
{
    if (!ci) {
        const qsizetype n = std::min(a.size(), b.size());
        const int r = n ? std::memcmp(a.data(), b.data(), static_cast<std::size_t>(n)) : 0;
        if (r != 0)
            return r;
        return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
    }
    auto pa = reinterpret_cast<const unsigned char*>(a.data());
    auto pb = reinterpret_cast<const unsigned char*>(b.data());
    const auto ea = pa + a.size();
    const auto eb = pb + b.size();
    while (pa < ea && pb < eb) {
        const char32_t ca = Fold(NextCodePoint(pa, ea));
        const char32_t cb = Fold(NextCodePoint(pb, eb));
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    return pa < ea ? 1 : pb < eb ? -1 : 0;
}

bool StartsWith(QByteArrayView value, QByteArrayView prefix, bool ci)
{
    if (!ci)
        return value.size() >= prefix.size() &&
               (prefix.isEmpty() || std::memcmp(value.data(), prefix.data(), static_cast<std::size_t>(prefix.size())) == 0);
    auto pv = reinterpret_cast<const unsigned char*>(value.data());
    auto pp = reinterpret_cast<const unsigned char*>(prefix.data());
    const auto ev = pv + value.size();
    const auto ep = pp + prefix.size();
    while (pp < ep) {
        if (pv >= ev || Fold(NextCodePoint(pv, ev)) != Fold(NextCodePoint(pp, ep)))
            return false;
    }
    return true;
}

template <typename T>
inline bool Apply(Op op, T a, T b)
{
    switch (op) {
    case Op::Eq: return a == b;
    case Op::Ne: return a != b;
    case Op::Lt: return a < b;
    case Op::Gt: return a > b;
    case Op::Le: return a <= b;
    case Op::Ge: return a >= b;
    }
    return false;
}

Op Mirror(Op op)
{
    switch (op) {
    case Op::Lt: return Op::Gt;
    case Op::Gt: return Op::Lt;
    case Op::Le: return Op::Ge;
    case Op::Ge: return Op::Le;
    default: return op;
    }
}

// ---- binding ---------------------------------------------------------------------------------

class Binder {
public:
    Binder(const std::vector<Ast>& ast, const std::vector<TFilterField>& fields, const TRecordStore& store,
           TFilterOptions options, std::vector<Node>& nodes, std::vector<QByteArray>& texts, QString* error)
        : ast_(ast), fields_(fields), store_(store), options_(options), nodes_(nodes), texts_(texts), error_(error)
    {
    }

    int Bind(int i)
    {
        const Ast& a = ast_[i];
        switch (a.Type) {
        case Ast::And:
        case Ast::Or: {
            const int l = Bind(a.Left);
            const int r = l < 0 ? -1 : Bind(a.Right);
            if (r < 0)
                return -1;
            Node n;
            n.Type = a.Type == Ast::And ? NodeType::And : NodeType::Or;
            n.A = l;
            n.B = r;
            return Add(n);
        }
        case Ast::Not: {
            const int inner = Bind(a.Left);
            if (inner < 0)
                return -1;
            Node n;
            n.Type = NodeType::Not;
            n.A = inner;
            return Add(n);
        }
        case Ast::IsNull: {
            const TFilterField* f = FieldOf(a.A, true);
            if (!f)
                return -1;
            Node n;
            n.Type = NodeType::IsNull;
            n.A = f->Column;
            n.Flag = a.Negate;
            return Add(n);
        }
        case Ast::Bare: {
            const TFilterField* f = FieldOf(a.A, true);
            if (!f)
                return -1;
            if (f->DataType != ftBoolean || store_.Kind(f->Column) != TValueKind::Integer)
                return Fail(QStringLiteral("Comparison expected after '%1'").arg(a.A.Text));
            Node n;
            n.Type = NodeType::IntCmp;
            n.Cmp = Op::Ne;
            n.A = f->Column;
            n.IntegralValue = true;
            return Add(n);
        }
        case Ast::Compare:
            return Compare(a);
        }
        return -1;
    }

private:
    int Add(const Node& n)
    {
        nodes_.push_back(n);
        return static_cast<int>(nodes_.size()) - 1;
    }
    int Fail(const QString& msg)
    {
        if (error_)
            *error_ = msg;
        return -1;
    }
    const TFilterField* Find(const QString& name) const
    {
        for (const TFilterField& f : fields_)
            if (f.Name.compare(name, Qt::CaseInsensitive) == 0)
                return &f;
        return nullptr;
    }
    // The field an operand names; with required, an operand that names none is an error.
    const TFilterField* FieldOf(const Operand& o, bool required)
    {
        const TFilterField* f = (o.Type == Operand::Name || o.Type == Operand::Word) ? Find(o.Text) : nullptr;
        if (!f && required) {
            if (o.Type == Operand::Name || o.Type == Operand::Word)
                Fail(QStringLiteral("Field '%1' not found").arg(o.Text));
            else
                Fail(QStringLiteral("A field name is expected at position %1").arg(o.Pos));
        }
        if (!f && o.Type == Operand::Name && !required)
            Fail(QStringLiteral("Field '%1' not found").arg(o.Text));
        return f;
    }
    int TextIndex(const QByteArray& bytes)
    {
        texts_.push_back(bytes);
        return static_cast<int>(texts_.size()) - 1;
    }

    int Compare(const Ast& a)
    {
        Operand left = a.A, right = a.B;
        Op op = a.Cmp;
        if (left.Type == Operand::Null)
            std::swap(left, right);
        if (right.Type == Operand::Null) {
            if (op != Op::Eq && op != Op::Ne)
                return Fail(QStringLiteral("NULL can only be compared with = or <>"));
            const TFilterField* f = FieldOf(left, true);
            if (!f)
                return -1;
            Node n;
            n.Type = NodeType::IsNull;
            n.A = f->Column;
            n.Flag = op == Op::Ne;
            return Add(n);
        }
        const TFilterField* fl = FieldOf(left, false);
        if (!fl && left.Type == Operand::Name)
            return -1;
        const TFilterField* fr = FieldOf(right, false);
        if (!fr && right.Type == Operand::Name)
            return -1;
        if (!fl && !fr) {
            if (left.Type == Operand::Word)
                return Fail(QStringLiteral("Field '%1' not found").arg(left.Text));
            if (right.Type == Operand::Word)
                return Fail(QStringLiteral("Field '%1' not found").arg(right.Text));
            Node n; // two texts
            n.Type = NodeType::Const;
            n.Flag = Apply(op, CompareText(left.Text.toUtf8(), right.Text.toUtf8(),
                                           options_.testFlag(foCaseInsensitive)), 0);
            return Add(n);
        }
        if (!fl) {
            std::swap(left, right);
            std::swap(fl, fr);
            op = Mirror(op);
        }
        if (fr)
            return FieldToField(*fl, *fr, op);
        return FieldToValue(*fl, right, op);
    }

    int FieldToField(const TFilterField& a, const TFilterField& b, Op op)
    {
        const TValueKind ka = store_.Kind(a.Column), kb = store_.Kind(b.Column);
        const bool numA = ka == TValueKind::Integer || ka == TValueKind::Float;
        const bool numB = kb == TValueKind::Integer || kb == TValueKind::Float;
        if (ka == TValueKind::Blob || kb == TValueKind::Blob)
            return Fail(QStringLiteral("Field '%1' cannot be compared").arg(ka == TValueKind::Blob ? a.Name : b.Name));
        if (numA != numB)
            return Fail(QStringLiteral("Type mismatch between '%1' and '%2'").arg(a.Name, b.Name));
        Node n;
        n.Type = NodeType::FieldCmp;
        n.Cmp = op;
        n.A = a.Column;
        n.B = b.Column;
        n.KindA = ka;
        n.KindB = kb;
        n.Flag = options_.testFlag(foCaseInsensitive);
        return Add(n);
    }

    int FieldToValue(const TFilterField& f, const Operand& v, Op op)
    {
        Node n;
        n.A = f.Column;
        n.Cmp = op;
        switch (store_.Kind(f.Column)) {
        case TValueKind::Integer:
        case TValueKind::Float: {
            double d = 0;
            if (f.DataType == ftBoolean) {
                const QString t = v.Text.trimmed();
                if (t.compare(QLatin1String("TRUE"), Qt::CaseInsensitive) == 0 || t == QLatin1String("1"))
                    d = 1;
                else if (t.compare(QLatin1String("FALSE"), Qt::CaseInsensitive) == 0 || t == QLatin1String("0"))
                    d = 0;
                else
                    return Fail(QStringLiteral("'%1' is not a valid Boolean").arg(v.Text));
            } else if (IsDateType(f.DataType)) {
                if (!TryStrToFieldDate(v.Text, f.DataType, d))
                    return Fail(QStringLiteral("'%1' is not a valid date").arg(v.Text));
            } else if (!TryStrToNumber(v.Text, d)) {
                return Fail(QStringLiteral("'%1' is not a valid number").arg(v.Text));
            }
            n.FloatValue = d;
            if (store_.Kind(f.Column) == TValueKind::Integer) {
                n.Type = NodeType::IntCmp;
                n.IntegralValue = d == std::trunc(d) && std::fabs(d) < 9.2e18;
                n.IntValue = n.IntegralValue ? static_cast<std::int64_t>(d) : 0;
            } else {
                n.Type = NodeType::FloatCmp;
            }
            return Add(n);
        }
        case TValueKind::Text: {
            n.Flag = options_.testFlag(foCaseInsensitive);
            QString text = v.Text;
            const bool partial = (op == Op::Eq || op == Op::Ne) && !options_.testFlag(foNoPartialCompare) &&
                                 v.Type == Operand::Quoted && text.endsWith(u'*');
            if (partial) {
                text.chop(1);
                n.Type = NodeType::TextPrefix;
            } else {
                n.Type = NodeType::TextCmp;
            }
            n.TextIndex = TextIndex(text.toUtf8());
            return Add(n);
        }
        case TValueKind::Blob:
            break;
        }
        return Fail(QStringLiteral("Field '%1' cannot be compared").arg(f.Name));
    }

    const std::vector<Ast>& ast_;
    const std::vector<TFilterField>& fields_;
    const TRecordStore& store_;
    TFilterOptions options_;
    std::vector<Node>& nodes_;
    std::vector<QByteArray>& texts_;
    QString* error_;
};
} // namespace

bool TFilterExpr::CheckSyntax(const QString& text, QString* error)
{
    std::vector<Ast> ast;
    int root = -1;
    return ParseText(text, ast, root, error);
}

bool TFilterExpr::Compile(const QString& text, const std::vector<TFilterField>& fields, const TRecordStore& store,
                          TFilterOptions options, QString* error)
{
    std::vector<Ast> ast;
    int astRoot = -1;
    if (!ParseText(text, ast, astRoot, error))
        return false;
    std::vector<Node> nodes;
    std::vector<QByteArray> texts;
    int root = -1;
    if (astRoot >= 0) {
        QString err;
        Binder b(ast, fields, store, options, nodes, texts, &err);
        root = b.Bind(astRoot);
        if (root < 0) {
            if (error)
                *error = err;
            return false;
        }
    }
    nodes_ = std::move(nodes);
    texts_ = std::move(texts);
    root_ = root;
    return true;
}

bool TFilterExpr::Eval(const TRecordStore& store, int i, int row) const
{
    const Node& n = nodes_[i];
    switch (n.Type) {
    case NodeType::Const:
        return n.Flag;
    case NodeType::And:
        return Eval(store, n.A, row) && Eval(store, n.B, row);
    case NodeType::Or:
        return Eval(store, n.A, row) || Eval(store, n.B, row);
    case NodeType::Not:
        return !Eval(store, n.A, row);
    case NodeType::IsNull:
        return store.IsNull(n.A, row) != n.Flag;
    case NodeType::IntCmp:
        if (store.IsNull(n.A, row))
            return false;
        if (n.IntegralValue)
            return Apply(n.Cmp, store.Int(n.A, row), n.IntValue);
        return Apply(n.Cmp, static_cast<double>(store.Int(n.A, row)), n.FloatValue);
    case NodeType::FloatCmp:
        return !store.IsNull(n.A, row) && Apply(n.Cmp, store.Float(n.A, row), n.FloatValue);
    case NodeType::TextCmp:
        return Apply(n.Cmp, CompareText(store.Bytes(n.A, row), texts_[n.TextIndex], n.Flag), 0);
    case NodeType::TextPrefix:
        return StartsWith(store.Bytes(n.A, row), texts_[n.TextIndex], n.Flag) == (n.Cmp == Op::Eq);
    case NodeType::FieldCmp: {
        if (n.KindA == TValueKind::Text)
            return Apply(n.Cmp, CompareText(store.Bytes(n.A, row), store.Bytes(n.B, row), n.Flag), 0);
        if (store.IsNull(n.A, row) || store.IsNull(n.B, row))
            return false;
        if (n.KindA == TValueKind::Integer && n.KindB == TValueKind::Integer)
            return Apply(n.Cmp, store.Int(n.A, row), store.Int(n.B, row));
        const double a = n.KindA == TValueKind::Integer ? static_cast<double>(store.Int(n.A, row)) : store.Float(n.A, row);
        const double b = n.KindB == TValueKind::Integer ? static_cast<double>(store.Int(n.B, row)) : store.Float(n.B, row);
        return Apply(n.Cmp, a, b);
    }
    }
    return false;
}
