#include "platform/db/Query.h"
#include <QSqlError>
#include <QSqlQuery>

namespace {
QString EngineError(const QSqlQuery& q)
{
    const QString text = q.lastError().databaseText().trimmed();
    return text.isEmpty() ? q.lastError().text().trimmed() : text;
}

// ---- a light reading of SQL text: enough to find the tables of a SELECT ----------------------

struct SqlToken {
    enum Kind { Word, Name, String, Number, Punct } Type = Punct;
    QString Text; // identifiers without their quotes
    int Depth = 0;
    bool Is(const char* word) const
    {
        return Type == Word && Text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
    }
    bool IsPunct(char c) const { return Type == Punct && Text.size() == 1 && Text.at(0) == QLatin1Char(c); }
    bool IsIdent() const { return Type == Word || Type == Name; }
};

std::vector<SqlToken> TokenizeSql(const QString& s)
{
    std::vector<SqlToken> out;
    qsizetype i = 0;
    const qsizetype n = s.size();
    int depth = 0;
    while (i < n) {
        const QChar c = s.at(i);
        if (c.isSpace()) {
            ++i;
        } else if (c == u'-' && i + 1 < n && s.at(i + 1) == u'-') {
            while (i < n && s.at(i) != u'\n')
                ++i;
        } else if (c == u'/' && i + 1 < n && s.at(i + 1) == u'*') {
            const qsizetype end = s.indexOf(QLatin1String("*/"), i + 2);
            i = end < 0 ? n : end + 2;
        } else if (c == u'\'' || c == u'"' || c == u'`' || c == u'[') {
            const QChar close = c == u'[' ? QChar(u']') : c;
            SqlToken t;
            t.Type = c == u'\'' ? SqlToken::String : SqlToken::Name;
            t.Depth = depth;
            ++i;
            while (i < n) {
                if (s.at(i) == close) {
                    if (close != u']' && i + 1 < n && s.at(i + 1) == close) {
                        t.Text += close;
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                t.Text += s.at(i++);
            }
            out.push_back(t);
        } else if (c.isLetter() || c == u'_') {
            SqlToken t;
            t.Type = SqlToken::Word;
            t.Depth = depth;
            const qsizetype start = i;
            while (i < n && (s.at(i).isLetterOrNumber() || s.at(i) == u'_' || s.at(i) == u'$'))
                ++i;
            t.Text = s.mid(start, i - start);
            out.push_back(t);
        } else if (c.isDigit()) {
            SqlToken t;
            t.Type = SqlToken::Number;
            t.Depth = depth;
            const qsizetype start = i;
            while (i < n && (s.at(i).isLetterOrNumber() || s.at(i) == u'.'))
                ++i;
            t.Text = s.mid(start, i - start);
            out.push_back(t);
        } else {
            if (c == u')')
                depth = std::max(0, depth - 1);
            SqlToken t;
            t.Type = SqlToken::Punct;
            t.Text = c;
            t.Depth = depth;
            if (c == u'(')
                ++depth;
            out.push_back(t);
            ++i;
        }
    }
    return out;
}

bool IsClauseWord(const SqlToken& t)
{
    for (const char* w : {"WHERE", "GROUP", "HAVING", "ORDER", "LIMIT", "OFFSET", "UNION", "INTERSECT", "EXCEPT",
                          "WINDOW", "FETCH", "FOR"})
        if (t.Is(w))
            return true;
    return false;
}

bool IsJoinWord(const SqlToken& t)
{
    for (const char* w : {"JOIN", "LEFT", "RIGHT", "INNER", "OUTER", "CROSS", "NATURAL", "FULL", "ON", "USING"})
        if (t.Is(w))
            return true;
    return false;
}

struct SelectShape {
    struct Item {
        bool Star = false;
        QString Column;
        QString Alias;
    };
    QStringList Tables;       // tables named in the FROM clause
    bool SingleTable = false; // one table, no joins, grouping or set operations
    bool PlainItems = true;   // every item is * or a column (with an optional alias)
    std::vector<Item> Items;
};

SelectShape AnalyseSelect(const QString& sql)
{
    SelectShape shape;
    const std::vector<SqlToken> t = TokenizeSql(sql);
    std::size_t i = 0;
    if (t.empty() || !t[0].Is("SELECT"))
        return shape;
    bool simple = true;
    ++i;
    if (i < t.size() && (t[i].Is("DISTINCT")))
        simple = false;
    if (i < t.size() && (t[i].Is("DISTINCT") || t[i].Is("ALL")))
        ++i;

    // The select list, item by item.
    std::vector<SqlToken> item;
    auto closeItem = [&]() {
        SelectShape::Item it;
        const std::size_t n = item.size();
        if (n == 1 && item[0].IsPunct('*')) {
            it.Star = true;
        } else if (n == 3 && item[0].IsIdent() && item[1].IsPunct('.') && item[2].IsPunct('*')) {
            it.Star = true;
        } else {
            std::size_t end = n;
            if (n >= 2 && item[n - 1].IsIdent() && (item[n - 2].Is("AS") || (n == 2 && item[0].IsIdent())) ) {
                it.Alias = item[n - 1].Text;
                end = item[n - 2].Is("AS") ? n - 2 : n - 1;
            } else if (n == 4 && item[0].IsIdent() && item[1].IsPunct('.') && item[2].IsIdent() && item[3].IsIdent()) {
                it.Alias = item[3].Text;
                end = 3;
            }
            if (end == 1 && item[0].IsIdent())
                it.Column = item[0].Text;
            else if (end == 3 && item[0].IsIdent() && item[1].IsPunct('.') && item[2].IsIdent())
                it.Column = item[2].Text;
            else
                shape.PlainItems = false;
        }
        shape.Items.push_back(it);
        item.clear();
    };
    for (; i < t.size() && !(t[i].Depth == 0 && t[i].Is("FROM")); ++i) {
        if (t[i].Depth == 0 && t[i].IsPunct(','))
            closeItem();
        else
            item.push_back(t[i]);
    }
    if (!item.empty())
        closeItem();
    if (i >= t.size())
        return shape; // SELECT without FROM
    ++i;

    // The FROM clause: table [AS] alias, separated by commas or joins.
    int tableCount = 0;
    bool expectTable = true;
    for (; i < t.size(); ++i) {
        const SqlToken& k = t[i];
        if (k.Depth > 0)
            continue;
        if (IsClauseWord(k) || k.IsPunct(';'))
            break;
        if (k.IsPunct(',') || k.Is("JOIN")) {
            expectTable = true;
            continue;
        }
        if (IsJoinWord(k)) {
            simple = false;
            continue;
        }
        if (k.IsPunct('(')) {
            if (expectTable)
                simple = false; // a subquery as a table
            continue;
        }
        if (expectTable && k.IsIdent()) {
            QString name = k.Text;
            while (i + 2 < t.size() && t[i + 1].IsPunct('.') && t[i + 2].IsIdent()) {
                name = t[i + 2].Text; // schema.table
                i += 2;
            }
            shape.Tables << name;
            ++tableCount;
            expectTable = false;
        }
    }
    for (; i < t.size(); ++i)
        if (t[i].Depth == 0 && (t[i].Is("GROUP") || t[i].Is("HAVING") || t[i].Is("UNION") ||
                                t[i].Is("INTERSECT") || t[i].Is("EXCEPT") || t[i].Is("WINDOW")))
            simple = false;
    shape.SingleTable = simple && tableCount == 1;
    return shape;
}
} // namespace

TQuery::TQuery(TComponent* owner) : TDataSet(owner) {}

void TQuery::SetSQL(const QStringList& lines)
{
    Close();
    sql_ = lines;
    prepared_ = false;
}

void TQuery::SetParamValue(const QString& name, const QVariant& value)
{
    QString n = name.trimmed();
    if (n.startsWith(u':'))
        n.remove(0, 1);
    for (auto& p : params_)
        if (p.first.compare(n, Qt::CaseInsensitive) == 0) {
            p.second = value;
            return;
        }
    params_.emplace_back(n, value);
}

QVariant TQuery::ParamValue(const QString& name) const
{
    QString n = name.trimmed();
    if (n.startsWith(u':'))
        n.remove(0, 1);
    for (const auto& p : params_)
        if (p.first.compare(n, Qt::CaseInsensitive) == 0)
            return p.second;
    return {};
}

QStringList TQuery::ParamNames() const
{
    QStringList names;
    for (const auto& p : params_)
        names << p.first;
    return names;
}

bool TQuery::ReturnsRows(const QString& sql)
{
    const std::vector<SqlToken> t = TokenizeSql(sql);
    for (const SqlToken& k : t) {
        if (k.IsPunct('('))
            continue;
        for (const char* w : {"SELECT", "WITH", "VALUES", "PRAGMA", "EXPLAIN", "SHOW", "TABLE"})
            if (k.Is(w))
                return true;
        return false;
    }
    return false;
}

bool TQuery::Prepare()
{
    ClearError();
    if (SQLText().trimmed().isEmpty())
        return Fail(QStringLiteral("The SQL text is empty"));
    QSqlDatabase db = Database();
    if (!db.isOpen())
        return false;
    QSqlQuery q(db);
    if (!q.prepare(SQLText()))
        return Fail(EngineError(q));
    prepared_ = true;
    return true;
}

bool TQuery::Run(QSqlDatabase& db, QSqlQuery& q)
{
    (void)db;
    if (params_.empty())
        return q.exec(SQLText()) || Fail(EngineError(q));
    if (!q.prepare(SQLText()))
        return Fail(EngineError(q));
    for (const auto& [name, value] : params_)
        q.bindValue(u':' + name, value);
    return q.exec() || Fail(EngineError(q));
}

bool TQuery::ExecSQL()
{
    ClearError();
    rowsAffected_ = -1;
    if (SQLText().trimmed().isEmpty())
        return Fail(QStringLiteral("The SQL text is empty"));
    QSqlDatabase db = Database();
    if (!db.isOpen())
        return false;
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!Run(db, q))
        return false;
    rowsAffected_ = q.isSelect() ? 0 : q.numRowsAffected();
    return true;
}

bool TQuery::PrepareCursor(QSqlDatabase& db, TCursorPlan& plan)
{
    const QString sql = SQLText();
    if (sql.trimmed().isEmpty())
        return Fail(QStringLiteral("The SQL text is empty"));
    if (!ReturnsRows(sql)) {
        // Not run: only compiled, so that a mistyped statement gets the engine's own message.
        QSqlQuery check(db);
        if (!check.prepare(sql))
            return Fail(EngineError(check));
        return Fail(QStringLiteral("The statement does not return rows; run it with ExecSQL"));
    }
    plan.Sql = sql;
    plan.Params = params_;

    // Declared types of the columns of the tables it reads; a name two tables declare differently
    // is left to the values.
    const SelectShape shape = AnalyseSelect(sql);
    QHash<QString, TDeclaredType> declared;
    QSet<QString> ambiguous;
    TTableInfo single;
    for (const QString& table : shape.Tables) {
        TTableInfo info;
        QString error;
        if (!ReadTableInfo(db, table, info, error))
            continue;
        for (const TColumnInfo& c : info.Columns) {
            const QString key = c.Name.toUpper();
            TDeclaredType type = c.Type;
            if (type.DataType == ftAutoInc && shape.Tables.size() > 1)
                type.DataType = ftInteger;
            const auto it = declared.constFind(key);
            if (it != declared.constEnd() && it->DataType != type.DataType)
                ambiguous.insert(key);
            declared.insert(key, type);
        }
        if (shape.Tables.size() == 1)
            single = info;
    }
    for (const QString& key : ambiguous)
        declared.remove(key);
    for (const SelectShape::Item& it : shape.Items)
        if (!it.Alias.isEmpty() && !it.Column.isEmpty() && declared.contains(it.Column.toUpper()))
            declared.insert(it.Alias.toUpper(), declared.value(it.Column.toUpper()));
    plan.Declared = declared;

    // Editable when it reads columns of one table and keeps the table's key.
    if (shape.SingleTable && shape.PlainItems && !single.Columns.empty() && !single.IsView) {
        QHash<QString, QString> columnOfField;
        for (const SelectShape::Item& it : shape.Items) {
            if (it.Star) {
                for (const TColumnInfo& c : single.Columns)
                    columnOfField.insert(c.Name.toUpper(), c.Name);
                continue;
            }
            for (const TColumnInfo& c : single.Columns)
                if (c.Name.compare(it.Column, Qt::CaseInsensitive) == 0)
                    columnOfField.insert((it.Alias.isEmpty() ? it.Column : it.Alias).toUpper(), c.Name);
        }
        const QStringList keys = single.KeyColumns();
        bool keysPresent = !keys.isEmpty();
        for (const QString& k : keys) {
            bool found = false;
            for (const QString& c : columnOfField)
                found = found || c.compare(k, Qt::CaseInsensitive) == 0;
            keysPresent = keysPresent && found;
        }
        if (keysPresent) {
            plan.UpdateTable = shape.Tables.first();
            plan.KeyColumns = keys;
            plan.ColumnOfField = columnOfField;
        }
    }
    return true;
}
