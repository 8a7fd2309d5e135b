#include "platform/Rtf.h"

#include <QRandomGenerator>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <gtest/gtest.h>

#include <memory>

namespace {

QString ListName(QTextListFormat::Style style)
{
    switch (style) {
    case QTextListFormat::ListDisc: return "disc";
    case QTextListFormat::ListDecimal: return "decimal";
    case QTextListFormat::ListLowerAlpha: return "alpha";
    case QTextListFormat::ListUpperRoman: return "ROMAN";
    default: return QString::number(int(style));
    }
}

QString FormatText(const QTextCharFormat& format, const QFont& base)
{
    const QFont f = format.font().resolve(base);
    QString s = QStringLiteral("%1 %2pt").arg(f.family()).arg(f.pointSizeF());
    if (f.bold())
        s += " bold";
    if (f.italic())
        s += " italic";
    if (format.underlineStyle() != QTextCharFormat::NoUnderline)
        s += QStringLiteral(" underline%1").arg(int(format.underlineStyle()));
    if (f.strikeOut())
        s += " strike";
    if (format.hasProperty(QTextFormat::ForegroundBrush))
        s += " fg" + format.foreground().color().name();
    if (format.hasProperty(QTextFormat::BackgroundBrush))
        s += " bg" + format.background().color().name();
    if (format.verticalAlignment() == QTextCharFormat::AlignSuperScript)
        s += " super";
    return s;
}

// Everything the rich text holds, one line per paragraph and run; RTF keeps absolute indents, so
// list levels are counted into the left indent.
QString Describe(const QTextDocument& doc)
{
    QString out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        const QTextBlockFormat bf = b.blockFormat();
        Qt::Alignment align = bf.alignment() & Qt::AlignHorizontal_Mask;
        if (!align)
            align = Qt::AlignLeft;
        qreal left = bf.leftMargin() + bf.indent() * doc.indentWidth();
        if (b.textList())
            left += b.textList()->format().indent() * doc.indentWidth();
        out += QStringLiteral("P align=%1 li=%2 ri=%3 fi=%4 sb=%5 sa=%6")
                   .arg(int(align))
                   .arg(left)
                   .arg(bf.rightMargin())
                   .arg(bf.textIndent())
                   .arg(bf.topMargin())
                   .arg(bf.bottomMargin());
        for (const QTextOption::Tab& tab : bf.tabPositions())
            out += QStringLiteral(" tab%1@%2").arg(int(tab.type)).arg(tab.position);
        if (const QTextList* list = b.textList())
            out += QStringLiteral(" list=%1#%2").arg(ListName(list->format().style())).arg(list->itemNumber(b));
        if (b.length() <= 1)
            out += " mark=" + FormatText(b.charFormat(), doc.defaultFont());
        out += '\n';
        QString lastFormat;
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QString format = FormatText(it.fragment().charFormat(), doc.defaultFont());
            if (format != lastFormat)
                out += "  [" + format + "] ";
            out += it.fragment().text();
            lastFormat = format;
        }
        if (!lastFormat.isEmpty())
            out += '\n';
    }
    return out;
}

// Lists compared as one line each, so that a failure shows readable text.
std::string Lines(const QStringList& lines)
{
    return lines.join(u'\n').toStdString();
}

std::string Paragraphs(const QTextDocument& doc)
{
    QStringList texts;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        texts << b.text();
    return Lines(texts);
}

QTextDocument* ReadRtf(const QByteArray& rtf)
{
    auto* doc = new QTextDocument;
    EXPECT_TRUE(RtfToDocument(rtf, *doc)) << rtf.constData();
    return doc;
}

} // namespace

TEST(Rtf, RoundTripKeepsTextAndFormatting)
{
    QTextDocument doc;
    doc.setDefaultFont(QFont("DejaVu Sans", 10));
    QTextCursor c(&doc);

    QTextBlockFormat centered;
    centered.setAlignment(Qt::AlignHCenter);
    c.setBlockFormat(centered);
    QTextCharFormat serifBold;
    serifBold.setFontFamilies({"DejaVu Serif"});
    serifBold.setFontPointSize(14);
    serifBold.setFontWeight(QFont::Bold);
    serifBold.setForeground(QColor(200, 0, 0));
    c.insertText(QString::fromUtf8("Grüße aus Köln "), serifBold);
    QTextCharFormat italicUnderline;
    italicUnderline.setFontItalic(true);
    italicUnderline.setFontUnderline(true);
    italicUnderline.setFontPointSize(9);
    italicUnderline.setForeground(QColor(0, 0, 255));
    c.insertText(QString::fromUtf8("für 5 € – 中文 😀"), italicUnderline);
    QTextCharFormat strike;
    strike.setFontStrikeOut(true);
    strike.setBackground(QColor(255, 255, 0));
    c.insertText(" alt", strike);
    QTextCharFormat super;
    super.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    c.insertText("2", super);

    QTextBlockFormat indented;
    indented.setAlignment(Qt::AlignRight);
    indented.setLeftMargin(30);
    indented.setRightMargin(20);
    indented.setTextIndent(-10);
    indented.setBottomMargin(8);
    indented.setTabPositions({QTextOption::Tab(100, QTextOption::LeftTab), QTextOption::Tab(200, QTextOption::RightTab),
                              QTextOption::Tab(300, QTextOption::CenterTab)});
    c.insertBlock(indented, QTextCharFormat());
    c.insertText("a\tb\tc", QTextCharFormat());

    c.insertBlock(QTextBlockFormat(), QTextCharFormat());
    c.createList(QTextListFormat::ListDisc);
    c.insertText("one");
    c.insertBlock();
    c.insertText("two");

    QTextBlockFormat justified;
    justified.setAlignment(Qt::AlignJustify);
    c.insertBlock(justified, QTextCharFormat());
    c.insertText(QString("x{y}z\\w") + QChar(QChar::LineSeparator) + QChar(0x00A0) + "end");

    QTextCharFormat big;
    big.setFontPointSize(20);
    c.insertBlock(QTextBlockFormat(), big);

    c.insertBlock(QTextBlockFormat(), QTextCharFormat());
    c.createList(QTextListFormat::ListDecimal);
    c.insertText("first");
    c.insertBlock();
    QTextBlockFormat hanging;
    hanging.setTextIndent(-6);
    c.mergeBlockFormat(hanging);
    c.insertText("second");

    const QByteArray rtf = DocumentToRtf(doc);
    // Code page 1252 as \'hh, everything else as signed \uN with a fallback.
    EXPECT_TRUE(rtf.startsWith("{\\rtf1\\ansi\\ansicpg1252")) << rtf.constData();
    EXPECT_TRUE(rtf.contains("Gr\\'fc\\'dfe")) << rtf.constData();
    EXPECT_TRUE(rtf.contains("\\'80")) << rtf.constData();
    EXPECT_TRUE(rtf.contains("\\u20013?\\u25991?")) << rtf.constData();
    EXPECT_TRUE(rtf.contains("\\u-10179?\\u-8704?")) << rtf.constData();
    EXPECT_TRUE(rtf.contains("x\\{y\\}z\\\\w")) << rtf.constData();
    EXPECT_TRUE(rtf.contains("\\pnlvlblt")) << rtf.constData();

    QTextDocument back;
    back.setDefaultFont(doc.defaultFont());
    ASSERT_TRUE(RtfToDocument(rtf, back));
    EXPECT_EQ(Describe(back).toStdString(), Describe(doc).toStdString());
    // Written again, the text is the same RTF.
    EXPECT_EQ(DocumentToRtf(back), rtf);
}

TEST(Rtf, EmptyDocumentRoundTripsToOneEmptyParagraph)
{
    QTextDocument doc;
    QTextDocument back;
    back.setPlainText("old content");
    ASSERT_TRUE(RtfToDocument(DocumentToRtf(doc), back));
    EXPECT_EQ(back.blockCount(), 1);
    EXPECT_TRUE(back.toPlainText().isEmpty());
}

TEST(Rtf, ReadsWordProcessorRtf)
{
    const QByteArray rtf =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0\\nouicompat\\deflang1031"
        "{\\fonttbl{\\f0\\fnil\\fcharset0 Calibri;}{\\f1\\froman\\fprq2\\fcharset0 Times New Roman{\\*\\falt Times};}"
        "{\\f2\\fnil\\fcharset2 Symbol;}}\r\n"
        "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\r\n"
        "{\\stylesheet{\\s0 Normal;}{\\s1\\b\\fs32 heading 1;}}\r\n"
        "{\\*\\generator Riched20 10.0.19041}{\\info{\\title Secret}{\\author Someone}}\\viewkind4\\uc1 \r\n"
        "\\pard\\sa200\\sl276\\slmult1\\qc\\b\\f1\\fs32 Gr\\'f6\\'dfe\\b0\\f0\\fs22\\par\r\n"
        "\\pard\\li720\\ri360\\fi-360 Preis: 5 \\u8364?, {\\i kursiv} und {\\cf1 rot}\\tab Ende\\line neue\r\n"
        " Zeile\\par\r\n"
        "{\\pntext\\f2\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf2\\pnindent0{\\pntxtb\\'b7}}\\fi-360\\li720 Erster\\par\r\n"
        "{\\pntext\\f2\\'b7\\tab}Zweiter\\par\r\n"
        "\\pard\\bullet\\tab Einfach\\par\r\n"
        "{\\*\\unknowndest some {nested} junk}\\unknownword42 Text mit {\\v versteckt}sichtbar\\par\r\n"
        "{\\pict\\wmetafile8\\picw100\\pich100 0102abcdef}{\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt Link}}\\par\r\n"
        "}";
    std::unique_ptr<QTextDocument> doc(ReadRtf(rtf));
    const QStringList expected = {QString::fromUtf8("Größe"),
                                  QString::fromUtf8("Preis: 5 €, kursiv und rot\tEnde") + QChar(QChar::LineSeparator)
                                      + "neue Zeile",
                                  "Erster",
                                  "Zweiter",
                                  "Einfach",
                                  "Text mit sichtbar",
                                  "Link"};
    ASSERT_EQ(Paragraphs(*doc), Lines(expected));

    const QTextBlock heading = doc->begin();
    EXPECT_EQ(heading.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_DOUBLE_EQ(heading.blockFormat().bottomMargin(), 200 / 15.0);
    const QTextCharFormat headingChars = heading.begin().fragment().charFormat();
    EXPECT_EQ(headingChars.font().family(), "Times New Roman");
    EXPECT_EQ(headingChars.fontPointSize(), 16);
    EXPECT_TRUE(headingChars.font().bold());

    const QTextBlock price = heading.next();
    EXPECT_DOUBLE_EQ(price.blockFormat().leftMargin(), 48);
    EXPECT_DOUBLE_EQ(price.blockFormat().rightMargin(), 24);
    EXPECT_DOUBLE_EQ(price.blockFormat().textIndent(), -24);
    QStringList runs;
    for (auto it = price.begin(); !it.atEnd(); ++it) {
        const QTextCharFormat f = it.fragment().charFormat();
        runs << QStringLiteral("%1|%2|%3|%4|%5")
                    .arg(it.fragment().text(), f.font().family())
                    .arg(f.fontPointSize())
                    .arg(f.fontItalic() ? "i" : "")
                    .arg(f.hasProperty(QTextFormat::ForegroundBrush) ? f.foreground().color().name() : "");
    }
    EXPECT_EQ(Lines(runs), Lines({QString::fromUtf8("Preis: 5 €, |Calibri|11||"), "kursiv|Calibri|11|i|",
                                 " und |Calibri|11||", "rot|Calibri|11||#ff0000",
                                 "\tEnde" + QString(QChar(QChar::LineSeparator)) + "neue Zeile|Calibri|11||"}));

    // Both bullet forms: the numbering destination (kept for the next paragraph until \pard) and
    // the plain \bullet\tab start.
    const QTextBlock first = price.next();
    const QTextBlock second = first.next();
    const QTextBlock simple = second.next();
    ASSERT_NE(first.textList(), nullptr);
    EXPECT_EQ(first.textList()->format().style(), QTextListFormat::ListDisc);
    EXPECT_EQ(second.textList(), first.textList());
    // The hanging indent is the marker's room: all lines of the text begin at the left indent.
    EXPECT_DOUBLE_EQ(second.blockFormat().leftMargin(), 48);
    EXPECT_DOUBLE_EQ(second.blockFormat().textIndent(), 0);
    EXPECT_EQ(first.textList()->format().indent(), 0);
    ASSERT_NE(simple.textList(), nullptr);
    EXPECT_EQ(simple.textList()->format().style(), QTextListFormat::ListDisc);
    EXPECT_EQ(simple.textList()->format().indent(), 1); // unindented: the list indents it
    EXPECT_EQ(simple.next().textList(), nullptr);
}

TEST(Rtf, ReadsListTablesOfNewerWordProcessors)
{
    const QByteArray rtf =
        "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}"
        "{\\*\\listtable{\\list\\listtemplateid1{\\listlevel\\levelnfc0\\levelstartat1{\\leveltext\\'02\\'00.;}"
        "{\\levelnumbers\\'01;}}{\\listlevel\\levelnfc23{\\leveltext\\'01\\u-3913 ?;}}\\listid77}"
        "{\\list{\\listlevel\\levelnfc4{\\leveltext\\'02\\'00);}}\\listid88}}"
        "{\\*\\listoverridetable{\\listoverride\\listid77\\listoverridecount0\\ls1}"
        "{\\listoverride\\listid88\\listoverridecount0\\ls2}}"
        "\\pard{\\listtext 1.\\tab}\\ls1\\li720\\fi-360 eins\\par"
        "{\\listtext\\'b7\\tab}\\ls1\\ilvl1\\li1440 unter\\par"
        "\\pard zwischen\\par"
        "\\pard{\\listtext 2.\\tab}\\ls1\\li720\\fi-360 zwei\\par"
        "\\pard{\\listtext a)\\tab}\\ls2\\li720\\fi-360 alpha\\par}";
    std::unique_ptr<QTextDocument> doc(ReadRtf(rtf));
    ASSERT_EQ(Paragraphs(*doc), Lines({"eins", "unter", "zwischen", "zwei", "alpha"}));
    QTextBlock b = doc->begin();
    const QTextList* numbers = b.textList();
    ASSERT_NE(numbers, nullptr);
    EXPECT_EQ(numbers->format().style(), QTextListFormat::ListDecimal);
    b = b.next();
    ASSERT_NE(b.textList(), nullptr);
    EXPECT_EQ(b.textList()->format().style(), QTextListFormat::ListDisc);
    b = b.next();
    EXPECT_EQ(b.textList(), nullptr);
    b = b.next();
    EXPECT_EQ(b.textList(), numbers); // numbering goes on after the plain paragraph
    EXPECT_EQ(numbers->itemText(b), "2.");
    b = b.next();
    ASSERT_NE(b.textList(), nullptr);
    EXPECT_EQ(b.textList()->format().style(), QTextListFormat::ListLowerAlpha);
}

TEST(Rtf, ReadsCharactersAndDestinations)
{
    const QString ls(QChar(QChar::LineSeparator));
    const struct {
        const char* rtf;
        QStringList paragraphs;
    } cases[] = {
        {"{\\rtf1\\ansi\\ansicpg1251 \\'c0\\'e1\\par}", {QString::fromUtf8("Аб")}},
        {"{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset204 Cyr;}{\\f1\\fcharset0 Lat;}}\\f0\\'c0\\f1\\'c0\\par}",
         {QString::fromUtf8("АÀ")}},
        {"{\\rtf1\\ansi\\ansicpg932 \\'82\\'a0\\par}", {QString::fromUtf8("あ")}},
        {"{\\rtf1\\uc2\\u12354\\'82\\'a0x\\par}", {QString::fromUtf8("あx")}},
        {"{\\rtf1\\uc0\\u8364 x\\par}", {QString::fromUtf8("€x")}},
        {"{\\rtf1 {\\uc3\\u8364 abc}def\\u8364 gh\\par}", {QString::fromUtf8("€def€h")}},
        {"{\\rtf1 a\\u-3913?b\\u-10179?\\u-8704?\\par}", {QString::fromUtf8("a\uF0B7b😀")}},
        {"{\\rtf1 a\\~b\\-c\\_d\\emdash\\lquote\\rdblquote\\par}",
         {QString::fromUtf8("a\u00A0b\u00ADc\u2011d\u2014\u2018\u201D")}},
        {"{\\rtf1 \\'e4{\\*\\x \\'e4}\\'9f\\par}", {QString::fromUtf8("äŸ")}},
        {"{\\rtf1 x\\bin4 }}}}z\\par}", {"xz"}},
        {"{\\rtf1 a\\par\\par b\\par}", {"a", "", "b"}},
        {"{\\rtf1 a\\line b\r\nc}", {"a" + ls + "bc"}},
        {"{\\rtf1 a\\\r\nb\\par}", {"a", "b"}},
        {"{\\rtf1 \\trowd a\\cell b\\cell\\row c\\par}", {"a\tb\t", "c"}},
        {"{\\rtf1 a}}}} b\\par}", {"a"}},
        {"  \r\n{\\rtf1 lead}", {"lead"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rtf);
        std::unique_ptr<QTextDocument> doc(ReadRtf(c.rtf));
        EXPECT_EQ(Paragraphs(*doc), Lines(c.paragraphs));
    }
}

TEST(Rtf, NonRtfLeavesDocumentUntouched)
{
    for (const QByteArray& bytes : {QByteArray(), QByteArray("hello"), QByteArray("{\\rt"),
                                    QByteArray("{\\pict\\rtf1 x}"), QByteArray("\0\1\2", 3)}) {
        QTextDocument doc;
        doc.setPlainText("keep");
        EXPECT_FALSE(RtfToDocument(bytes, doc)) << bytes.constData();
        EXPECT_EQ(doc.toPlainText(), "keep");
    }
}

TEST(Rtf, DamagedRtfGivesWhatWasRead)
{
    const struct {
        QByteArray rtf;
        QStringList paragraphs;
    } cases[] = {
        {"{\\rtf1 Hallo", {"Hallo"}},
        {"{\\rtf1 a\\par {{{{b", {"a", "b"}},
        {"{\\rtf1 a\\", {"a"}},
        {"{\\rtf1 a\\'4", {"a"}},
        {"{\\rtf1 a\\'zzb\\'4x\\par}", {"azzbx"}},
        {"{\\rtf1 x\\bin999999 abc", {"x"}},
        {"{\\rtf1{\\fonttbl{\\f0 Unfinished", {""}},
        {"{\\rtf1\\u99999999999999999999 a\\fs-5 b\\li999999999 c\\cf999 d\\f12345 e\\uc99999 f\\par}",
         {"bcdef"}},
        {"{\\rtf1 " + QByteArray(100000, '{') + "deep" + QByteArray(100000, '}') + " after\\par}", {" after"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rtf.left(60).constData());
        std::unique_ptr<QTextDocument> doc(ReadRtf(c.rtf));
        EXPECT_EQ(Paragraphs(*doc), Lines(c.paragraphs));
    }
}

TEST(Rtf, EveryTruncationAndRandomBytesReadWithoutFault)
{
    QTextDocument source;
    QTextCursor c(&source);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    bold.setForeground(Qt::red);
    c.insertText(QString::fromUtf8("Ä 中 "), bold);
    c.insertText("plain\t");
    c.insertBlock();
    c.createList(QTextListFormat::ListDisc);
    c.insertText("item");
    const QByteArray rtf = DocumentToRtf(source);
    for (qsizetype n = 5; n <= rtf.size(); ++n) {
        QTextDocument doc;
        ASSERT_TRUE(RtfToDocument(rtf.left(n), doc)) << n;
        ASSERT_GE(doc.blockCount(), 1);
    }
    QRandomGenerator random(20240611);
    const QByteArray alphabet = "{}\\'*;abuflsx0123456789- \r\n\t\xe4";
    for (int round = 0; round < 300; ++round) {
        QByteArray bytes = "{\\rtf1";
        for (int i = 0; i < 400; ++i) {
            if (round % 2)
                bytes += char(random.bounded(256));
            else
                bytes += alphabet[random.bounded(int(alphabet.size()))];
        }
        QTextDocument doc;
        ASSERT_TRUE(RtfToDocument(bytes, doc));
    }
}
