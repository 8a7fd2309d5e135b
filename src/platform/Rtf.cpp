#include "platform/Rtf.h"

#include <QList>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace {

// ---------------------------------------------------------------------------------------------
// Shared by reader and writer
// ---------------------------------------------------------------------------------------------

constexpr double kTwipsPerPixel = 1440.0 / 96.0;
constexpr int kMaxTwips = 31680;     // 22 inches: the largest length word processors accept
constexpr int kMaxHalfPoints = 3276; // 1638 points
constexpr int kDefaultHalfPoints = 24;
constexpr int kMaxTabStops = 64;
constexpr int kMaxGroupDepth = 512;
constexpr int kMaxUnicodeSkip = 16;

// A list marker hangs in front of its paragraph's text. Word processors make room for it with a
// negative first-line indent, a quarter inch by default, and tab from the marker to the text; the
// document draws the marker left of where the text begins. So the first-line indent of a list
// paragraph is written this much smaller and read this much larger (never above 0 when it hung).
constexpr int kMarkerHangTwips = 360;

// Code page 1252 at 0x80..0x9F; the rest of the page is Latin-1. The five unassigned bytes map to
// the C1 control of the same value, as Windows does.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t Cp1252ToUnicode(unsigned char b)
{
    return b >= 0x80 && b < 0xA0 ? kCp1252High[b - 0x80] : char16_t(b);
}

// The code page 1252 byte of c, or -1 when the page has no such character.
int UnicodeToCp1252(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    if (c < 0x100)
        return -1; // C1 controls
    for (int i = 0; i < 32; ++i)
        if (kCp1252High[i] == c)
            return 0x80 + i;
    return -1;
}

bool IsBulletStyle(QTextListFormat::Style style)
{
    return style == QTextListFormat::ListDisc || style == QTextListFormat::ListCircle
        || style == QTextListFormat::ListSquare || style == QTextListFormat::ListStyleUndefined;
}

int ToTwips(qreal pixels)
{
    return std::clamp(qRound(pixels * kTwipsPerPixel), -kMaxTwips, kMaxTwips);
}

qreal ToPixels(int twips)
{
    return twips / kTwipsPerPixel;
}

// ---------------------------------------------------------------------------------------------
// Writer
// ---------------------------------------------------------------------------------------------

// RTF output with the one subtlety of the format: a control word swallows a following space, so a
// space is put between a control word and text that would otherwise run into it.
class TRtfOut {
public:
    QByteArray Bytes;

    void Word(const char* name)
    {
        Bytes += '\\';
        Bytes += name;
        Delimit = true;
    }
    void Word(const char* name, int value)
    {
        Word(name);
        Bytes += QByteArray::number(value);
    }
    void Raw(const char* text)
    {
        Bytes += text;
        Delimit = false;
    }
    void Symbol(char c)
    {
        Bytes += '\\';
        Bytes += c;
        Delimit = false;
    }
    void Text(QStringView text);

private:
    bool Delimit = false;
};

void TRtfOut::Text(QStringView text)
{
    static constexpr char kHex[] = "0123456789abcdef";
    for (const QChar qc : text) {
        const char16_t c = qc.unicode();
        switch (c) {
        case u'\t': Word("tab"); continue;
        case 0x2028: // line separator (shift+enter)
        case 0x2029: Word("line"); continue;
        case 0x00A0: Symbol('~'); continue;
        case 0x00AD: Symbol('-'); continue;
        case 0x2011: Symbol('_'); continue;
        case u'\\':
        case u'{':
        case u'}': Symbol(char(c)); continue;
        case QChar::ObjectReplacementCharacter: continue; // embedded objects are not written
        default: break;
        }
        if (c < 0x20 || (c >= 0x7F && c < 0xA0))
            continue;
        if (c < 0x80) {
            if (Delimit)
                Bytes += ' ';
            Bytes += char(c);
            Delimit = false;
            continue;
        }
        if (const int b = UnicodeToCp1252(c); b >= 0) {
            Bytes += "\\'";
            Bytes += kHex[b >> 4];
            Bytes += kHex[b & 15];
        } else {
            // \u takes a signed 16-bit value; characters beyond the BMP go as their two surrogates.
            Bytes += "\\u";
            Bytes += QByteArray::number(int(std::int16_t(c)));
            Bytes += '?';
        }
        Delimit = false;
    }
}

class TRtfWriter {
public:
    explicit TRtfWriter(const QTextDocument& doc) : Doc(doc)
    {
        Fonts.append(doc.defaultFont().family());
    }
    QByteArray Write();

private:
    // The character properties RTF can hold, in table indices.
    struct TRunState {
        int Font = 0;
        int HalfPoints = kDefaultHalfPoints;
        bool Bold = false;
        bool Italic = false;
        bool Strike = false;
        QTextCharFormat::UnderlineStyle Underline = QTextCharFormat::NoUnderline;
        int Color = 0;
        int Highlight = 0;
        QTextCharFormat::VerticalAlignment VAlign = QTextCharFormat::AlignNormal;
    };

    const QTextDocument& Doc;
    QStringList Fonts;
    QList<QRgb> Colors;
    TRtfOut Body;
    TRunState Current;

    int FontIndex(const QString& family);
    int ColorIndex(const QColor& color);
    TRunState StateOf(const QTextCharFormat& format);
    void ChangeTo(const TRunState& target);
    void WriteBlock(const QTextBlock& block);
    void WriteListMarker(const QTextList& list, const QTextBlock& block);
};

int TRtfWriter::FontIndex(const QString& family)
{
    const qsizetype i = Fonts.indexOf(family);
    if (i >= 0)
        return int(i);
    Fonts.append(family);
    return int(Fonts.size() - 1);
}

int TRtfWriter::ColorIndex(const QColor& color)
{
    const QRgb rgb = color.rgb() | 0xFF000000u;
    const qsizetype i = Colors.indexOf(rgb);
    if (i >= 0)
        return int(i) + 1;
    Colors.append(rgb);
    return int(Colors.size()); // index 0 of the table is "automatic"
}

TRtfWriter::TRunState TRtfWriter::StateOf(const QTextCharFormat& format)
{
    const QFont font = format.font().resolve(Doc.defaultFont());
    TRunState s;
    s.Font = FontIndex(font.family());
    qreal points = font.pointSizeF();
    if (points <= 0)
        points = font.pixelSize() * 0.75;
    s.HalfPoints = points > 0 ? std::clamp(qRound(points * 2), 2, kMaxHalfPoints) : kDefaultHalfPoints;
    s.Bold = font.weight() > QFont::Medium;
    s.Italic = font.italic();
    s.Strike = font.strikeOut();
    if (format.hasProperty(QTextFormat::TextUnderlineStyle))
        s.Underline = format.underlineStyle();
    else if (font.underline())
        s.Underline = QTextCharFormat::SingleUnderline;
    if (format.hasProperty(QTextFormat::ForegroundBrush) && format.foreground().style() != Qt::NoBrush)
        s.Color = ColorIndex(format.foreground().color());
    if (format.hasProperty(QTextFormat::BackgroundBrush) && format.background().style() != Qt::NoBrush)
        s.Highlight = ColorIndex(format.background().color());
    s.VAlign = format.verticalAlignment();
    if (s.VAlign != QTextCharFormat::AlignSuperScript && s.VAlign != QTextCharFormat::AlignSubScript)
        s.VAlign = QTextCharFormat::AlignNormal;
    return s;
}

void TRtfWriter::ChangeTo(const TRunState& t)
{
    TRunState& c = Current;
    if (t.Font != c.Font)
        Body.Word("f", t.Font);
    if (t.HalfPoints != c.HalfPoints)
        Body.Word("fs", t.HalfPoints);
    if (t.Bold != c.Bold)
        t.Bold ? Body.Word("b") : Body.Word("b", 0);
    if (t.Italic != c.Italic)
        t.Italic ? Body.Word("i") : Body.Word("i", 0);
    if (t.Underline != c.Underline) {
        switch (t.Underline) {
        case QTextCharFormat::NoUnderline: Body.Word("ulnone"); break;
        case QTextCharFormat::DashUnderline: Body.Word("uldash"); break;
        case QTextCharFormat::DotLine: Body.Word("uld"); break;
        case QTextCharFormat::DashDotLine: Body.Word("uldashd"); break;
        case QTextCharFormat::DashDotDotLine: Body.Word("uldashdd"); break;
        case QTextCharFormat::WaveUnderline:
        case QTextCharFormat::SpellCheckUnderline: Body.Word("ulwave"); break;
        default: Body.Word("ul"); break;
        }
    }
    if (t.Strike != c.Strike)
        t.Strike ? Body.Word("strike") : Body.Word("strike", 0);
    if (t.Color != c.Color)
        Body.Word("cf", t.Color);
    if (t.Highlight != c.Highlight)
        Body.Word("highlight", t.Highlight);
    if (t.VAlign != c.VAlign) {
        if (t.VAlign == QTextCharFormat::AlignSuperScript)
            Body.Word("super");
        else if (t.VAlign == QTextCharFormat::AlignSubScript)
            Body.Word("sub");
        else
            Body.Word("nosupersub");
    }
    c = t;
}

void TRtfWriter::WriteListMarker(const QTextList& list, const QTextBlock& block)
{
    const QTextListFormat::Style style = list.format().style();
    const bool bullet = IsBulletStyle(style);
    // The marker as text, for readers that do not know numbering ...
    Body.Raw("{");
    Body.Word("pntext");
    if (bullet)
        Body.Word("bullet");
    else
        Body.Text(list.itemText(block));
    Body.Word("tab");
    Body.Raw("}");
    // ... and as numbering for those that do.
    Body.Raw("{\\*");
    Body.Word("pn");
    if (bullet) {
        Body.Word("pnlvlblt");
    } else {
        Body.Word("pnlvlbody");
        switch (style) {
        case QTextListFormat::ListLowerAlpha: Body.Word("pnlcltr"); break;
        case QTextListFormat::ListUpperAlpha: Body.Word("pnucltr"); break;
        case QTextListFormat::ListLowerRoman: Body.Word("pnlcrm"); break;
        case QTextListFormat::ListUpperRoman: Body.Word("pnucrm"); break;
        default: Body.Word("pndec"); break;
        }
    }
    Body.Word("pnindent", 0);
    Body.Raw(bullet ? "{\\pntxtb\\bullet}}" : "{\\pntxta .}}");
}

void TRtfWriter::WriteBlock(const QTextBlock& block)
{
    const QTextBlockFormat bf = block.blockFormat();
    const QTextList* list = block.textList();
    Body.Word("pard");

    const Qt::Alignment align = bf.alignment() & Qt::AlignHorizontal_Mask;
    if (align & Qt::AlignJustify)
        Body.Word("qj");
    else if (align & Qt::AlignHCenter)
        Body.Word("qc");
    else if (align & (Qt::AlignRight | Qt::AlignTrailing))
        Body.Word("qr");

    // RTF knows only absolute indents: indent levels of the block and of its list go into \li.
    qreal left = bf.leftMargin() + bf.indent() * Doc.indentWidth();
    if (list)
        left += list->format().indent() * Doc.indentWidth();
    int first = ToTwips(bf.textIndent());
    if (list && first <= 0)
        first -= kMarkerHangTwips;
    const std::pair<const char*, int> lengths[] = {{"li", ToTwips(left)},
                                                   {"ri", ToTwips(bf.rightMargin())},
                                                   {"fi", first},
                                                   {"sb", ToTwips(bf.topMargin())},
                                                   {"sa", ToTwips(bf.bottomMargin())}};
    for (const auto& [word, twips] : lengths)
        if (twips != 0)
            Body.Word(word, twips);

    for (const QTextOption::Tab& tab : bf.tabPositions()) {
        if (tab.type == QTextOption::RightTab)
            Body.Word("tqr");
        else if (tab.type == QTextOption::CenterTab)
            Body.Word("tqc");
        else if (tab.type == QTextOption::DelimiterTab)
            Body.Word("tqdec");
        Body.Word("tx", std::max(0, ToTwips(tab.position)));
    }
    if (list)
        WriteListMarker(*list, block);

    Body.Word("plain");
    Current = TRunState{};
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (!fragment.isValid())
            continue;
        ChangeTo(StateOf(fragment.charFormat()));
        Body.Text(fragment.text());
    }
    // An empty paragraph keeps the formatting of its paragraph mark, which gives its height.
    if (block.length() <= 1)
        ChangeTo(StateOf(block.charFormat()));
    Body.Word("par");
    Body.Raw("\r\n");
}

QByteArray TRtfWriter::Write()
{
    for (QTextBlock block = Doc.begin(); block.isValid(); block = block.next())
        WriteBlock(block);

    TRtfOut head;
    head.Raw("{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1{\\fonttbl");
    for (qsizetype i = 0; i < Fonts.size(); ++i) {
        head.Raw("{");
        head.Word("f", int(i));
        head.Word("fnil");
        head.Word("fcharset", 0);
        QString name = Fonts[i];
        name.replace(u';', u' '); // the semicolon ends the entry
        head.Text(name);
        head.Raw(";}");
    }
    head.Raw("}\r\n{\\colortbl ;");
    for (const QRgb rgb : Colors) {
        head.Word("red", qRed(rgb));
        head.Word("green", qGreen(rgb));
        head.Word("blue", qBlue(rgb));
        head.Raw(";");
    }
    head.Raw("}\r\n{\\*\\generator Kivotek;}\r\n");
    return head.Bytes + Body.Bytes + "}\r\n";
}

// ---------------------------------------------------------------------------------------------
// Tokenizer
// ---------------------------------------------------------------------------------------------

enum class TTokenKind { End, Open, Close, Word, Symbol, Hex, Char };

struct TToken {
    TToken() = default;
    explicit TToken(TTokenKind kind) : Kind(kind) {}

    TTokenKind Kind = TTokenKind::End;
    std::string_view Name; // control word
    bool HasParam = false;
    int Param = 0;
    unsigned char Value = 0; // control symbol, \'hh byte or plain character
};

class TRtfTokenizer {
public:
    explicit TRtfTokenizer(const QByteArray& rtf) : P(rtf.constData()), End(rtf.constData() + rtf.size()) {}

    TToken Next()
    {
        while (P < End) {
            const unsigned char c = static_cast<unsigned char>(*P++);
            switch (c) {
            case '{': return TToken(TTokenKind::Open);
            case '}': return TToken(TTokenKind::Close);
            case '\\':
                if (P == End)
                    return {};
                if (IsLetter(*P))
                    return ReadWord();
                if (*P == '\'') {
                    ++P;
                    int value = 0;
                    int digits = 0;
                    while (digits < 2 && P < End && HexValue(*P) >= 0) {
                        value = value * 16 + HexValue(*P++);
                        ++digits;
                    }
                    if (digits < 2)
                        continue; // a broken \' is dropped with what it had of its digits
                    TToken t{TTokenKind::Hex};
                    t.Value = static_cast<unsigned char>(value);
                    return t;
                }
                {
                    TToken t{TTokenKind::Symbol};
                    t.Value = static_cast<unsigned char>(*P++);
                    return t;
                }
            case '\r':
            case '\n':
            case '\0': continue;
            default: {
                TToken t{TTokenKind::Char};
                t.Value = c;
                return t;
            }
            }
        }
        return {};
    }

private:
    const char* P;
    const char* End;

    static bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
    static bool IsDigit(char c) { return c >= '0' && c <= '9'; }
    static int HexValue(char c)
    {
        if (IsDigit(c))
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    }

    TToken ReadWord()
    {
        TToken t{TTokenKind::Word};
        const char* start = P;
        while (P < End && IsLetter(*P))
            ++P;
        t.Name = std::string_view(start, size_t(P - start));
        const bool negative = P < End && *P == '-' && P + 1 < End && IsDigit(P[1]);
        if (negative)
            ++P;
        if (P < End && IsDigit(*P)) {
            std::int64_t value = 0;
            while (P < End && IsDigit(*P)) {
                if (value < 10'000'000'000LL)
                    value = value * 10 + (*P - '0');
                ++P;
            }
            if (negative)
                value = -value;
            t.HasParam = true;
            t.Param = int(std::clamp<std::int64_t>(value, INT32_MIN, INT32_MAX));
        }
        if (P < End && *P == ' ')
            ++P; // the delimiting space belongs to the control word
        // \binN is followed by N bytes of binary data that must not be read as RTF.
        if (t.Name == "bin" && t.HasParam && t.Param > 0)
            P += std::min<std::int64_t>(t.Param, End - P);
        return t;
    }
};

// ---------------------------------------------------------------------------------------------
// Reader
// ---------------------------------------------------------------------------------------------

enum class TWord {
    Unknown,
    // document
    Ansi, Mac, Pc, Pca, AnsiCpg, Deff, Uc, U,
    // destinations
    FontTable, ColorTable, ListTable, ListOverrideTable, Pn, Skip,
    // font and colour tables
    FontNumber, FontCharset, Red, Green, Blue,
    // list tables
    List, ListLevel, LevelNfc, ListId, ListOverride,
    // old-style numbering
    PnLevelBullet, PnLevelBody, PnLevelOutline, PnLevelCont, PnStyle,
    // character
    Plain, FontSize, Bold, Italic, Underline, Strike, Color, Highlight, VAlign, Hidden,
    // paragraph
    Pard, Align, LeftIndent, RightIndent, FirstIndent, SpaceBefore, SpaceAfter, TabKind, TabStop,
    ListRef, ListLevelRef,
    // text
    Par, Sect, Line, Tab, Cell, Row, Bullet, Character,
};

struct TWordInfo {
    TWord Word = TWord::Unknown;
    int Extra = 0;
};

TWordInfo LookUp(std::string_view name)
{
    using C = QTextCharFormat;
    using L = QTextListFormat;
    static const std::unordered_map<std::string_view, TWordInfo> table = {
        {"ansi", {TWord::Ansi}}, {"mac", {TWord::Mac}}, {"pc", {TWord::Pc}}, {"pca", {TWord::Pca}},
        {"ansicpg", {TWord::AnsiCpg}}, {"deff", {TWord::Deff}}, {"uc", {TWord::Uc}}, {"u", {TWord::U}},

        {"fonttbl", {TWord::FontTable}}, {"colortbl", {TWord::ColorTable}},
        {"listtable", {TWord::ListTable}}, {"listoverridetable", {TWord::ListOverrideTable}},
        {"pn", {TWord::Pn}},
        // Destinations whose content is not text of the document.
        {"pntext", {TWord::Skip}}, {"listtext", {TWord::Skip}}, {"stylesheet", {TWord::Skip}},
        {"info", {TWord::Skip}}, {"pict", {TWord::Skip}}, {"object", {TWord::Skip}},
        {"nonshppict", {TWord::Skip}}, {"shp", {TWord::Skip}}, {"shpinst", {TWord::Skip}},
        {"fldinst", {TWord::Skip}}, {"header", {TWord::Skip}}, {"headerl", {TWord::Skip}},
        {"headerr", {TWord::Skip}}, {"headerf", {TWord::Skip}}, {"footer", {TWord::Skip}},
        {"footerl", {TWord::Skip}}, {"footerr", {TWord::Skip}}, {"footerf", {TWord::Skip}},
        {"footnote", {TWord::Skip}}, {"annotation", {TWord::Skip}}, {"xe", {TWord::Skip}},
        {"tc", {TWord::Skip}}, {"txe", {TWord::Skip}}, {"rxe", {TWord::Skip}},
        {"filetbl", {TWord::Skip}}, {"revtbl", {TWord::Skip}}, {"rsidtbl", {TWord::Skip}},
        {"template", {TWord::Skip}}, {"docvar", {TWord::Skip}}, {"fontemb", {TWord::Skip}},
        {"fontfile", {TWord::Skip}}, {"listpicture", {TWord::Skip}}, {"pgdsctbl", {TWord::Skip}},
        {"author", {TWord::Skip}}, {"operator", {TWord::Skip}}, {"title", {TWord::Skip}},
        {"subject", {TWord::Skip}}, {"keywords", {TWord::Skip}}, {"comment", {TWord::Skip}},
        {"doccomm", {TWord::Skip}}, {"bkmkstart", {TWord::Skip}}, {"bkmkend", {TWord::Skip}},
        {"atnid", {TWord::Skip}}, {"atnauthor", {TWord::Skip}}, {"atrfstart", {TWord::Skip}},
        {"atrfend", {TWord::Skip}}, {"private", {TWord::Skip}},

        {"f", {TWord::FontNumber}}, {"fcharset", {TWord::FontCharset}},
        {"red", {TWord::Red}}, {"green", {TWord::Green}}, {"blue", {TWord::Blue}},

        {"list", {TWord::List}}, {"listlevel", {TWord::ListLevel}}, {"levelnfc", {TWord::LevelNfc}},
        {"levelnfcn", {TWord::LevelNfc}}, {"listid", {TWord::ListId}},
        {"listoverride", {TWord::ListOverride}},

        {"pnlvlblt", {TWord::PnLevelBullet}}, {"pnlvlbody", {TWord::PnLevelBody}},
        {"pnlvl", {TWord::PnLevelOutline}}, {"pnlvlcont", {TWord::PnLevelCont}},
        {"pndec", {TWord::PnStyle, L::ListDecimal}}, {"pnucltr", {TWord::PnStyle, L::ListUpperAlpha}},
        {"pnlcltr", {TWord::PnStyle, L::ListLowerAlpha}}, {"pnucrm", {TWord::PnStyle, L::ListUpperRoman}},
        {"pnlcrm", {TWord::PnStyle, L::ListLowerRoman}},

        {"plain", {TWord::Plain}}, {"fs", {TWord::FontSize}}, {"b", {TWord::Bold}}, {"i", {TWord::Italic}},
        {"ul", {TWord::Underline, C::SingleUnderline}}, {"ulw", {TWord::Underline, C::SingleUnderline}},
        {"uldb", {TWord::Underline, C::SingleUnderline}}, {"ulth", {TWord::Underline, C::SingleUnderline}},
        {"uld", {TWord::Underline, C::DotLine}}, {"ulthd", {TWord::Underline, C::DotLine}},
        {"uldash", {TWord::Underline, C::DashUnderline}}, {"ulthdash", {TWord::Underline, C::DashUnderline}},
        {"ulldash", {TWord::Underline, C::DashUnderline}}, {"ulthldash", {TWord::Underline, C::DashUnderline}},
        {"uldashd", {TWord::Underline, C::DashDotLine}}, {"ulthdashd", {TWord::Underline, C::DashDotLine}},
        {"uldashdd", {TWord::Underline, C::DashDotDotLine}},
        {"ulthdashdd", {TWord::Underline, C::DashDotDotLine}},
        {"ulwave", {TWord::Underline, C::WaveUnderline}}, {"ulhwave", {TWord::Underline, C::WaveUnderline}},
        {"ululdbwave", {TWord::Underline, C::WaveUnderline}}, {"ulnone", {TWord::Underline, C::NoUnderline}},
        {"strike", {TWord::Strike}}, {"striked", {TWord::Strike}},
        {"cf", {TWord::Color}}, {"highlight", {TWord::Highlight}}, {"cb", {TWord::Highlight}},
        {"chcbpat", {TWord::Highlight}},
        {"super", {TWord::VAlign, C::AlignSuperScript}}, {"sub", {TWord::VAlign, C::AlignSubScript}},
        {"nosupersub", {TWord::VAlign, C::AlignNormal}}, {"v", {TWord::Hidden}},

        {"pard", {TWord::Pard}}, {"ql", {TWord::Align, Qt::AlignLeft}},
        {"qc", {TWord::Align, Qt::AlignHCenter}}, {"qr", {TWord::Align, Qt::AlignRight}},
        {"qj", {TWord::Align, Qt::AlignJustify}}, {"qd", {TWord::Align, Qt::AlignJustify}},
        {"li", {TWord::LeftIndent}}, {"lin", {TWord::LeftIndent}}, {"ri", {TWord::RightIndent}},
        {"rin", {TWord::RightIndent}}, {"fi", {TWord::FirstIndent}}, {"sb", {TWord::SpaceBefore}},
        {"sa", {TWord::SpaceAfter}}, {"tqr", {TWord::TabKind, QTextOption::RightTab}},
        {"tqc", {TWord::TabKind, QTextOption::CenterTab}},
        {"tqdec", {TWord::TabKind, QTextOption::DelimiterTab}}, {"tx", {TWord::TabStop}},
        {"ls", {TWord::ListRef}}, {"ilvl", {TWord::ListLevelRef}},

        {"par", {TWord::Par}}, {"sect", {TWord::Sect}}, {"line", {TWord::Line}}, {"tab", {TWord::Tab}},
        {"cell", {TWord::Cell}}, {"nestcell", {TWord::Cell}}, {"row", {TWord::Row}},
        {"nestrow", {TWord::Row}}, {"bullet", {TWord::Bullet}},
        {"emdash", {TWord::Character, 0x2014}}, {"endash", {TWord::Character, 0x2013}},
        {"emspace", {TWord::Character, 0x2003}}, {"enspace", {TWord::Character, 0x2002}},
        {"qmspace", {TWord::Character, 0x2005}}, {"lquote", {TWord::Character, 0x2018}},
        {"rquote", {TWord::Character, 0x2019}}, {"ldblquote", {TWord::Character, 0x201C}},
        {"rdblquote", {TWord::Character, 0x201D}},
    };
    const auto it = table.find(name);
    return it == table.end() ? TWordInfo{} : it->second;
}

enum class TDest { Text, FontTable, ColorTable, ListTable, ListOverrideTable, Pn, Skip };
enum class TPnLevel { None, Bullet, Numbered, Continued };

struct TCharProps {
    int Font = -1; // -1: the document's default font (\deff)
    int HalfPoints = kDefaultHalfPoints;
    bool Bold = false;
    bool Italic = false;
    bool Strike = false;
    bool Hidden = false;
    QTextCharFormat::UnderlineStyle Underline = QTextCharFormat::NoUnderline;
    int Color = 0;
    int Highlight = 0;
    QTextCharFormat::VerticalAlignment VAlign = QTextCharFormat::AlignNormal;
    bool operator==(const TCharProps&) const = default;
};

struct TParaProps {
    Qt::Alignment Align = Qt::AlignLeft;
    int Left = 0, Right = 0, First = 0, Before = 0, After = 0; // twips
    QList<QTextOption::Tab> Tabs;
    QTextOption::TabType NextTabType = QTextOption::LeftTab;
    TPnLevel PnLevel = TPnLevel::None;
    QTextListFormat::Style PnStyle = QTextListFormat::ListDecimal;
    int ListOverride = 0; // \ls: 1-based entry of the list override table, 0 none
    int ListLevel = 0;    // \ilvl
};

struct TGroup {
    TDest Dest = TDest::Text;
    TCharProps Chars;
    TParaProps Para;
    int Uc = 1; // bytes to skip after \uN
};

struct TRun {
    TCharProps Props;
    QString Text;
};

// A paragraph as read; "\bullet\tab" at its start is recognised as the simple bullet form.
struct TParagraph {
    TParaProps Props;
    TCharProps Mark; // formatting of the paragraph mark
    QList<TRun> Runs;
    enum { Fresh, AfterBullet, BulletPrefix, Plain } Prefix = Fresh;
};

struct TFontEntry {
    QString Name;
    int Charset = -1;
};

int CharsetCodePage(int charset)
{
    switch (charset) {
    case 77: return 10000;
    case 128: return 932;
    case 129: return 949;
    case 130: return 1361;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    case 254: return 437;
    case 255: return 850;
    default: return 0; // ANSI, default and symbol: the document's code page
    }
}

QTextListFormat::Style StyleOfNumberFormat(int nfc)
{
    switch (nfc) {
    case 1: return QTextListFormat::ListUpperRoman;
    case 2: return QTextListFormat::ListLowerRoman;
    case 3: return QTextListFormat::ListUpperAlpha;
    case 4: return QTextListFormat::ListLowerAlpha;
    case 23: return QTextListFormat::ListDisc;
    case 255: return QTextListFormat::ListStyleUndefined; // no marker
    default: return QTextListFormat::ListDecimal;
    }
}

class TRtfReader {
public:
    explicit TRtfReader(const QByteArray& rtf) : Tokens(rtf) {}
    void Parse();
    void BuildInto(QTextDocument& doc) const;

private:
    TRtfTokenizer Tokens;
    std::vector<TGroup> Stack;
    int Overflow = 0; // groups nested beyond kMaxGroupDepth, read as skipped
    bool StarPending = false;
    bool Done = false;
    int SkipBytes = 0; // fallback characters still to skip after \uN

    int AnsiCodePage = 1252;
    int DefaultFont = 0;
    std::map<int, TFontEntry> Fonts;
    int FontNumber = -1;
    int FontCharset = -1;
    QString FontName;
    QList<std::optional<QColor>> Colors;
    int Rgb[3] = {0, 0, 0};
    bool RgbSet = false;

    std::map<int, QList<int>> ListLevels; // list id -> number format of each level
    int PendingListId = -1;
    QList<int> PendingLevels;
    std::map<int, int> Overrides; // \ls -> list id
    int OverrideListId = -1;

    QByteArray PendingBytes;
    mutable std::map<int, std::unique_ptr<QStringDecoder>> Decoders;

    std::vector<TParagraph> Paragraphs;
    TParagraph Para;

    TGroup& Top() { return Stack.back(); }
    void Open();
    void Close();
    void OnWord(const TToken& t);
    void OnTextWord(const TWordInfo& info, const TToken& t, TGroup& g);
    void OnSymbol(unsigned char c);
    void OnByte(unsigned char b, bool raw);
    void FlushBytes();
    void AppendText(const QString& text);
    void AppendPrefixPart(char16_t c, bool isBullet);
    void FinishParagraph();
    void CommitFont();
    void CommitColor();
    void CommitList();
    int CurrentCodePage() const;
    QString Decode(const QByteArray& bytes, int codePage) const;

    QTextCharFormat CharFormatOf(const TCharProps& p) const;
    static QTextBlockFormat BlockFormatOf(const TParaProps& p, bool listItem);
    QTextListFormat::Style ListStyleOf(const TParagraph& p, std::int64_t& key) const;
};

void TRtfReader::Parse()
{
    for (TToken t = Tokens.Next(); t.Kind != TTokenKind::End && !Done; t = Tokens.Next()) {
        switch (t.Kind) {
        case TTokenKind::Open: Open(); break;
        case TTokenKind::Close: Close(); break;
        case TTokenKind::Word: OnWord(t); break;
        case TTokenKind::Symbol: OnSymbol(t.Value); break;
        case TTokenKind::Hex: OnByte(t.Value, false); break;
        case TTokenKind::Char: OnByte(t.Value, true); break;
        case TTokenKind::End: break;
        }
    }
    if (!Done && !Stack.empty()) {
        // Truncated: keep what was read.
        FlushBytes();
        if (!Para.Runs.isEmpty())
            FinishParagraph();
    }
}

void TRtfReader::Open()
{
    FlushBytes();
    SkipBytes = 0;
    StarPending = false;
    if (Stack.empty()) {
        Stack.emplace_back();
        return;
    }
    if (Overflow > 0 || int(Stack.size()) >= kMaxGroupDepth) {
        ++Overflow;
        return;
    }
    TGroup g = Top();
    if (int(Stack.size()) == kMaxGroupDepth - 1)
        g.Dest = TDest::Skip; // the deepest group takes everything nested further
    Stack.push_back(std::move(g));
}

void TRtfReader::Close()
{
    FlushBytes();
    SkipBytes = 0;
    StarPending = false;
    if (Overflow > 0) {
        --Overflow;
        return;
    }
    if (Stack.empty())
        return;
    if (Stack.size() == 1) {
        if (!Para.Runs.isEmpty())
            FinishParagraph();
        Stack.pop_back();
        Done = true;
        return;
    }
    const TGroup closed = std::move(Stack.back());
    Stack.pop_back();
    TGroup& parent = Top();
    if (closed.Dest == TDest::FontTable && !FontName.isEmpty())
        CommitFont(); // an entry without its semicolon
    if (closed.Dest == TDest::ColorTable && parent.Dest != TDest::ColorTable && RgbSet)
        CommitColor();
    if (closed.Dest == TDest::ListTable && parent.Dest != TDest::ListTable)
        CommitList();
    if (closed.Dest == TDest::Pn && parent.Dest != TDest::Pn) {
        parent.Para.PnLevel = closed.Para.PnLevel;
        parent.Para.PnStyle = closed.Para.PnStyle;
    }
}

void TRtfReader::OnWord(const TToken& t)
{
    FlushBytes();
    if (Stack.empty())
        return;
    if (SkipBytes > 0) {
        --SkipBytes;
        return;
    }
    TGroup& g = Top();
    const bool star = StarPending;
    StarPending = false;
    if (g.Dest == TDest::Skip)
        return;
    const TWordInfo info = LookUp(t.Name);
    if (star && info.Word != TWord::Pn && info.Word != TWord::ListTable
        && info.Word != TWord::ListOverrideTable) {
        g.Dest = TDest::Skip; // {\*\...}: an optional destination this reader does not use
        return;
    }
    const int param = t.Param;
    switch (info.Word) {
    case TWord::Ansi: AnsiCodePage = 1252; return;
    case TWord::Mac: AnsiCodePage = 10000; return;
    case TWord::Pc: AnsiCodePage = 437; return;
    case TWord::Pca: AnsiCodePage = 850; return;
    case TWord::AnsiCpg:
        if (param > 0)
            AnsiCodePage = param;
        return;
    case TWord::Deff: DefaultFont = param; return;
    case TWord::Uc: g.Uc = std::clamp(param, 0, kMaxUnicodeSkip); return;
    case TWord::U: {
        const char16_t c = char16_t(param & 0xFFFF); // negative values stand for 32768..65535
        AppendText(QString(QChar(c)));
        SkipBytes = g.Uc;
        return;
    }
    case TWord::FontTable: g.Dest = TDest::FontTable; return;
    case TWord::ColorTable: g.Dest = TDest::ColorTable; return;
    case TWord::ListTable: g.Dest = TDest::ListTable; return;
    case TWord::ListOverrideTable: g.Dest = TDest::ListOverrideTable; return;
    case TWord::Pn:
        g.Dest = TDest::Pn;
        g.Para.PnLevel = TPnLevel::None;
        g.Para.PnStyle = QTextListFormat::ListDecimal;
        return;
    case TWord::Skip: g.Dest = TDest::Skip; return;
    default: break;
    }

    switch (g.Dest) {
    case TDest::Text: OnTextWord(info, t, g); return;
    case TDest::FontTable:
        if (info.Word == TWord::FontNumber) {
            if (!FontName.isEmpty())
                CommitFont();
            FontNumber = param;
            FontCharset = -1;
        } else if (info.Word == TWord::FontCharset) {
            FontCharset = param;
        }
        return;
    case TDest::ColorTable:
        if (info.Word == TWord::Red || info.Word == TWord::Green || info.Word == TWord::Blue) {
            Rgb[int(info.Word) - int(TWord::Red)] = std::clamp(param, 0, 255);
            RgbSet = true;
        }
        return;
    case TDest::ListTable:
        if (info.Word == TWord::List) {
            CommitList();
        } else if (info.Word == TWord::ListLevel) {
            PendingLevels.append(0);
        } else if (info.Word == TWord::LevelNfc && !PendingLevels.isEmpty()) {
            PendingLevels.last() = param;
        } else if (info.Word == TWord::ListId) {
            PendingListId = param;
        }
        return;
    case TDest::ListOverrideTable:
        if (info.Word == TWord::ListOverride)
            OverrideListId = -1;
        else if (info.Word == TWord::ListId)
            OverrideListId = param;
        else if (info.Word == TWord::ListRef && OverrideListId >= 0)
            Overrides[param] = OverrideListId;
        return;
    case TDest::Pn:
        switch (info.Word) {
        case TWord::PnLevelBullet: g.Para.PnLevel = TPnLevel::Bullet; break;
        case TWord::PnLevelBody:
        case TWord::PnLevelOutline: g.Para.PnLevel = TPnLevel::Numbered; break;
        case TWord::PnLevelCont: g.Para.PnLevel = TPnLevel::Continued; break;
        case TWord::PnStyle: g.Para.PnStyle = QTextListFormat::Style(info.Extra); break;
        default: break;
        }
        return;
    case TDest::Skip: return;
    }
}

void TRtfReader::OnTextWord(const TWordInfo& info, const TToken& t, TGroup& g)
{
    const int param = t.Param;
    const bool on = !t.HasParam || param != 0; // \b, \b1 on; \b0 off
    TCharProps& c = g.Chars;
    TParaProps& p = g.Para;
    const auto twips = [&] { return std::clamp(param, -kMaxTwips, kMaxTwips); };
    switch (info.Word) {
    case TWord::Plain: c = TCharProps{}; break;
    case TWord::FontNumber: c.Font = param; break;
    case TWord::FontSize:
        c.HalfPoints = t.HasParam ? std::clamp(param, 2, kMaxHalfPoints) : kDefaultHalfPoints;
        break;
    case TWord::Bold: c.Bold = on; break;
    case TWord::Italic: c.Italic = on; break;
    case TWord::Strike: c.Strike = on; break;
    case TWord::Hidden: c.Hidden = on; break;
    case TWord::Underline:
        c.Underline = on ? QTextCharFormat::UnderlineStyle(info.Extra) : QTextCharFormat::NoUnderline;
        break;
    case TWord::Color: c.Color = std::max(0, param); break;
    case TWord::Highlight: c.Highlight = std::max(0, param); break;
    case TWord::VAlign: c.VAlign = QTextCharFormat::VerticalAlignment(info.Extra); break;

    case TWord::Pard: p = TParaProps{}; break;
    case TWord::Align: p.Align = Qt::Alignment(info.Extra); break;
    case TWord::LeftIndent: p.Left = twips(); break;
    case TWord::RightIndent: p.Right = twips(); break;
    case TWord::FirstIndent: p.First = twips(); break;
    case TWord::SpaceBefore: p.Before = std::max(0, twips()); break;
    case TWord::SpaceAfter: p.After = std::max(0, twips()); break;
    case TWord::TabKind: p.NextTabType = QTextOption::TabType(info.Extra); break;
    case TWord::TabStop:
        if (p.Tabs.size() < kMaxTabStops) {
            const QChar delimiter = p.NextTabType == QTextOption::DelimiterTab ? QChar(u'.') : QChar();
            p.Tabs.append(QTextOption::Tab(ToPixels(std::max(0, twips())), p.NextTabType, delimiter));
        }
        p.NextTabType = QTextOption::LeftTab;
        break;
    case TWord::ListRef: p.ListOverride = std::max(0, param); break;
    case TWord::ListLevelRef: p.ListLevel = std::clamp(param, 0, 8); break;

    case TWord::Par: FinishParagraph(); break;
    case TWord::Sect:
    case TWord::Row:
        if (!Para.Runs.isEmpty())
            FinishParagraph();
        break;
    case TWord::Line: AppendText(QString(QChar(QChar::LineSeparator))); break;
    case TWord::Tab: AppendPrefixPart(u'\t', false); break;
    case TWord::Cell: AppendText(QStringLiteral("\t")); break;
    case TWord::Bullet: AppendPrefixPart(0x2022, true); break;
    case TWord::Character: AppendText(QString(QChar(char16_t(info.Extra)))); break;
    default: break; // anything else is formatting this document cannot hold
    }
}

void TRtfReader::OnSymbol(unsigned char c)
{
    FlushBytes();
    if (Stack.empty())
        return;
    if (c == '*') {
        StarPending = true;
        return;
    }
    if (c == '\\' || c == '{' || c == '}') {
        OnByte(c, false); // escaped, never a table's semicolon
        return;
    }
    if (SkipBytes > 0) {
        --SkipBytes;
        return;
    }
    if (Top().Dest == TDest::Skip)
        return;
    switch (c) {
    case '~': AppendText(QString(QChar(0x00A0))); break;
    case '-': AppendText(QString(QChar(0x00AD))); break;
    case '_': AppendText(QString(QChar(0x2011))); break;
    case '\r':
    case '\n':
        if (Top().Dest == TDest::Text)
            FinishParagraph();
        break;
    default: break;
    }
}

void TRtfReader::OnByte(unsigned char b, bool raw)
{
    if (Stack.empty())
        return;
    StarPending = false;
    if (SkipBytes > 0) {
        --SkipBytes;
        return;
    }
    const TDest dest = Top().Dest;
    if (dest == TDest::Skip)
        return;
    if (raw && b == ';' && (dest == TDest::FontTable || dest == TDest::ColorTable)) {
        FlushBytes();
        dest == TDest::FontTable ? CommitFont() : CommitColor();
        return;
    }
    if (raw && b == '\t') {
        FlushBytes();
        AppendPrefixPart(u'\t', false);
        return;
    }
    PendingBytes += char(b);
}

int TRtfReader::CurrentCodePage() const
{
    const TGroup& g = Stack.back();
    int charset = -1;
    if (g.Dest == TDest::FontTable) {
        charset = FontCharset;
    } else {
        const auto it = Fonts.find(g.Chars.Font < 0 ? DefaultFont : g.Chars.Font);
        if (it != Fonts.end())
            charset = it->second.Charset;
    }
    const int cp = CharsetCodePage(charset);
    return cp ? cp : AnsiCodePage;
}

QString TRtfReader::Decode(const QByteArray& bytes, int codePage) const
{
    if (codePage == 65001)
        return QString::fromUtf8(bytes);
    if (codePage != 1252) {
        auto it = Decoders.find(codePage);
        if (it == Decoders.end()) {
            std::unique_ptr<QStringDecoder> decoder;
            const QString names[] = {QStringLiteral("windows-%1").arg(codePage),
                                     QStringLiteral("cp%1").arg(codePage),
                                     QStringLiteral("ibm%1").arg(codePage),
                                     codePage == 10000 ? QStringLiteral("macintosh") : QString()};
            for (const QString& name : names) {
                if (name.isEmpty())
                    continue;
                auto candidate = std::make_unique<QStringDecoder>(
                    name.toLatin1().constData(), QStringConverter::Flag::Stateless);
                if (candidate->isValid()) {
                    decoder = std::move(candidate);
                    break;
                }
            }
            it = Decoders.emplace(codePage, std::move(decoder)).first;
        }
        if (it->second)
            return it->second->decode(bytes);
    }
    QString text(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        text[i] = QChar(Cp1252ToUnicode(static_cast<unsigned char>(bytes[i])));
    return text;
}

void TRtfReader::FlushBytes()
{
    if (PendingBytes.isEmpty() || Stack.empty())
        return;
    const QString text = Decode(PendingBytes, CurrentCodePage());
    PendingBytes.clear();
    AppendText(text);
}

void TRtfReader::AppendText(const QString& text)
{
    TGroup& g = Top();
    if (g.Dest == TDest::FontTable) {
        FontName += text;
        return;
    }
    if (g.Dest != TDest::Text || g.Chars.Hidden)
        return;
    QString clean;
    clean.reserve(text.size());
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if ((c >= 0x20 && !(c >= 0x7F && c < 0xA0) && c != 0xFFFE && c != 0xFFFF) || c == u'\t')
            clean += ch;
    }
    if (clean.isEmpty())
        return;
    if (Para.Prefix != TParagraph::BulletPrefix)
        Para.Prefix = TParagraph::Plain;
    if (!Para.Runs.isEmpty() && Para.Runs.last().Props == g.Chars)
        Para.Runs.last().Text += clean;
    else
        Para.Runs.append(TRun{g.Chars, clean});
}

// \bullet and \tab: besides being text, they may form the "\bullet\tab" start of a bulleted
// paragraph.
void TRtfReader::AppendPrefixPart(char16_t c, bool isBullet)
{
    const auto before = Para.Prefix;
    AppendText(QString(QChar(c)));
    if (Top().Dest != TDest::Text || Top().Chars.Hidden)
        return;
    if (before == TParagraph::BulletPrefix)
        Para.Prefix = before; // the prefix is complete; what follows is the paragraph's text
    else if (isBullet)
        Para.Prefix = before == TParagraph::Fresh ? TParagraph::AfterBullet : TParagraph::Plain;
    else
        Para.Prefix = before == TParagraph::AfterBullet ? TParagraph::BulletPrefix : TParagraph::Plain;
}

void TRtfReader::FinishParagraph()
{
    Para.Props = Top().Para;
    Para.Mark = Top().Chars;
    Paragraphs.push_back(std::move(Para));
    Para = TParagraph{};
}

void TRtfReader::CommitFont()
{
    if (FontNumber >= 0)
        Fonts[FontNumber] = TFontEntry{FontName.trimmed(), FontCharset};
    FontName.clear();
    FontNumber = -1;
    FontCharset = -1;
}

void TRtfReader::CommitColor()
{
    Colors.append(RgbSet ? std::optional<QColor>(QColor(Rgb[0], Rgb[1], Rgb[2])) : std::nullopt);
    Rgb[0] = Rgb[1] = Rgb[2] = 0;
    RgbSet = false;
}

void TRtfReader::CommitList()
{
    if (PendingListId >= 0 && !PendingLevels.isEmpty())
        ListLevels[PendingListId] = PendingLevels;
    PendingListId = -1;
    PendingLevels.clear();
}

QTextCharFormat TRtfReader::CharFormatOf(const TCharProps& p) const
{
    QTextCharFormat f;
    const auto font = Fonts.find(p.Font < 0 ? DefaultFont : p.Font);
    if (font != Fonts.end() && !font->second.Name.isEmpty())
        f.setFontFamilies(QStringList{font->second.Name});
    f.setFontPointSize(p.HalfPoints / 2.0);
    f.setFontWeight(p.Bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(p.Italic);
    f.setUnderlineStyle(p.Underline);
    f.setFontStrikeOut(p.Strike);
    const auto color = [this](int index) -> std::optional<QColor> {
        return index > 0 && index < Colors.size() ? Colors[index] : std::nullopt;
    };
    if (const auto fg = color(p.Color))
        f.setForeground(*fg);
    if (const auto bg = color(p.Highlight))
        f.setBackground(*bg);
    if (p.VAlign != QTextCharFormat::AlignNormal)
        f.setVerticalAlignment(p.VAlign);
    return f;
}

int FirstIndentOf(const TParaProps& p, bool listItem)
{
    return listItem && p.First < 0 ? std::min(0, p.First + kMarkerHangTwips) : p.First;
}

QTextBlockFormat TRtfReader::BlockFormatOf(const TParaProps& p, bool listItem)
{
    QTextBlockFormat f;
    f.setAlignment(p.Align);
    if (p.Left)
        f.setLeftMargin(ToPixels(p.Left));
    if (p.Right)
        f.setRightMargin(ToPixels(p.Right));
    if (const int first = FirstIndentOf(p, listItem))
        f.setTextIndent(ToPixels(first));
    if (p.Before)
        f.setTopMargin(ToPixels(p.Before));
    if (p.After)
        f.setBottomMargin(ToPixels(p.After));
    if (!p.Tabs.isEmpty()) {
        QList<QTextOption::Tab> tabs = p.Tabs;
        std::stable_sort(tabs.begin(), tabs.end(),
                         [](const auto& a, const auto& b) { return a.position < b.position; });
        f.setTabPositions(tabs);
    }
    return f;
}

// The list style of a paragraph (ListStyleUndefined: not in a list) and the key of the list it
// continues: paragraphs of one \ls entry and level form one list.
QTextListFormat::Style TRtfReader::ListStyleOf(const TParagraph& p, std::int64_t& key) const
{
    key = -1;
    if (p.Props.ListOverride > 0) {
        int nfc = 23; // a list whose table is missing still shows a bullet
        const auto o = Overrides.find(p.Props.ListOverride);
        if (o != Overrides.end()) {
            const auto l = ListLevels.find(o->second);
            if (l != ListLevels.end() && p.Props.ListLevel < l->second.size())
                nfc = l->second[p.Props.ListLevel];
        }
        key = std::int64_t(p.Props.ListOverride) * 16 + p.Props.ListLevel;
        return StyleOfNumberFormat(nfc);
    }
    switch (p.Props.PnLevel) {
    case TPnLevel::Bullet: return QTextListFormat::ListDisc;
    case TPnLevel::Numbered: return p.Props.PnStyle;
    default: break;
    }
    return p.Prefix == TParagraph::BulletPrefix ? QTextListFormat::ListDisc
                                                 : QTextListFormat::ListStyleUndefined;
}

void TRtfReader::BuildInto(QTextDocument& doc) const
{
    const bool undo = doc.isUndoRedoEnabled();
    doc.setUndoRedoEnabled(false);
    doc.clear();
    QTextCursor cursor(&doc);
    cursor.beginEditBlock();

    std::map<std::int64_t, QTextList*> keyedLists;
    QTextList* previousList = nullptr; // list of the previous paragraph when it had no key
    QTextListFormat::Style previousStyle = QTextListFormat::ListStyleUndefined;
    int previousIndent = 0;

    bool first = true;
    for (const TParagraph& para : Paragraphs) {
        std::int64_t key = -1;
        const QTextListFormat::Style style = ListStyleOf(para, key);
        const bool listItem = style != QTextListFormat::ListStyleUndefined;
        const QTextBlockFormat bf = BlockFormatOf(para.Props, listItem);
        const QTextCharFormat mark = CharFormatOf(para.Mark);
        if (first) {
            cursor.setBlockFormat(bf);
            cursor.setBlockCharFormat(mark);
            first = false;
        } else {
            cursor.insertBlock(bf, mark);
        }

        QList<TRun> runs = para.Runs;
        if (listItem && para.Props.ListOverride == 0
            && para.Props.PnLevel == TPnLevel::None) {
            // The simple bullet form: drop the "\bullet\tab" the bullet now stands for.
            int drop = 2;
            while (drop > 0 && !runs.isEmpty()) {
                const int n = int(std::min<qsizetype>(drop, runs.first().Text.size()));
                runs.first().Text.remove(0, n);
                drop -= n;
                if (runs.first().Text.isEmpty())
                    runs.removeFirst();
            }
        }
        if (!listItem) {
            previousList = nullptr;
        } else {
            // The paragraph's indents place text and marker; only a paragraph whose text begins too
            // near the margin for its marker takes the list's own indent as well.
            const int textStart = para.Props.Left + std::min(0, FirstIndentOf(para.Props, true));
            const int indent = textStart >= kMarkerHangTwips ? 0 : 1;
            QTextList* list = nullptr;
            if (key >= 0) {
                key = key * 2 + indent;
                const auto it = keyedLists.find(key);
                if (it != keyedLists.end())
                    list = it->second;
            } else if (previousList && previousStyle == style && previousIndent == indent) {
                list = previousList;
            }
            if (list) {
                list->add(cursor.block());
            } else {
                QTextListFormat lf;
                lf.setStyle(style);
                lf.setIndent(indent);
                list = cursor.createList(lf);
                if (key >= 0)
                    keyedLists[key] = list;
            }
            previousList = key >= 0 ? nullptr : list;
            previousStyle = style;
            previousIndent = indent;
        }

        for (const TRun& run : runs) {
            QString text = run.Text;
            // A \u surrogate without its partner cannot stand alone.
            for (qsizetype i = 0; i < text.size(); ++i) {
                if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
                    ++i;
                else if (text[i].isSurrogate())
                    text[i] = QChar(QChar::ReplacementCharacter);
            }
            cursor.insertText(text, CharFormatOf(run.Props));
        }
    }
    cursor.endEditBlock();
    doc.setUndoRedoEnabled(undo);
}

bool LooksLikeRtf(const QByteArray& bytes)
{
    qsizetype i = 0;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        i = 3;
    while (i < bytes.size() && (bytes[i] == ' ' || bytes[i] == '\t' || bytes[i] == '\r' || bytes[i] == '\n'))
        ++i;
    return QByteArrayView(bytes).sliced(i).startsWith("{\\rtf");
}

} // namespace

QByteArray DocumentToRtf(const QTextDocument& doc)
{
    return TRtfWriter(doc).Write();
}

bool RtfToDocument(const QByteArray& rtf, QTextDocument& doc)
{
    if (!LooksLikeRtf(rtf))
        return false;
    TRtfReader reader(rtf);
    reader.Parse();
    reader.BuildInto(doc);
    return true;
}
