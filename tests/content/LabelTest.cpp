// The label and the edit field: placing the text, the zoomed font, painting on the own surface
// and on the printer, and their records.
#include "content/DynLabel.h"
#include "designer/BImage.h"
#include "grids/DynEdit.h"
#include "objects/KindRegistry.h"
#include "objects/ObjectList.h"
#include "objects/ProjectContext.h"
#include "platform/MemoryStream.h"
#include "platform/Printer.h"
#include "platform/Screen.h"
#include "shell/Texts.h"
#include "shell/Variable.h"
#include <QFontMetrics>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <algorithm>
#include <cstring>
#include <memory>

namespace {

// Where the dark pixels of an image lie inside a rectangle (empty when there are none).
QRect InkIn(const QImage& image, const QRect& area)
{
    QRect ink;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qGray(image.pixel(x, y)) < 128)
                ink |= QRect(x, y, 1, 1);
    return ink;
}

class LabelTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        InitVariables(dir.path());
        FillTextDefaults();
        TScreen::Override(96, 1280, 1024);
        savedProject = ProjectContext();
        ProjectContext() = TProjectContext{};
        top = std::make_unique<QWidget>();
        top->resize(900, 700);
        DrawRect = TDrawRect{0, 0, 0, 0, 0, 0, 800, 600};
        host = new TDynRichEdit(nullptr, top.get());
        host->show();
        CurrentParent = host;
        SharedStream = &stream;
    }
    void TearDown() override
    {
        SharedStream = nullptr;
        CurrentParent = nullptr;
        PaintingForOutput = false;
        ZoomFactor = 1.0;
        delete host;
        top.reset();
        ProjectContext() = savedProject;
        TScreen::ClearOverride();
        TPrinter::Get().Reset();
    }
    // A label inside the host, in its list, shown, with a border of 2 on every side.
    TDynLabel* MakeLabel(int l, int t, int w, int h, const QString& text)
    {
        DrawRect = TDrawRect{0, 0, 0, 0, l, t, l + w, t + h};
        auto* o = new TDynLabel(nullptr, host);
        host->Children->Add(o);
        o->show();
        o->UpdateLayout();
        o->SetText(text);
        return o;
    }
    TDynEdit* MakeEdit(int l, int t, int w, int h)
    {
        DrawRect = TDrawRect{0, 0, 0, 0, l, t, l + w, t + h};
        auto* o = new TDynEdit(nullptr, host);
        host->Children->Add(o);
        o->show();
        o->UpdateLayout();
        return o;
    }
    // The record the object list writes for an object, starting at position 0.
    QByteArray Record(TComponent* o, Int32 code)
    {
        stream.Clear();
        TKindRegistry::Get().Find(code)->Save(o);
        return stream.Data();
    }
    void Load(TComponent* o, Int32 code, const QByteArray& record)
    {
        stream.Clear();
        stream.WriteBytes(record);
        stream.SetPosition(0);
        TKindRegistry::Get().Find(code)->Load(o, {});
        EXPECT_EQ(stream.Position(), stream.Size()) << "the reader stops at the record's end";
    }
    // The text width of the object's font as the own surface measures it.
    static int TextWidthOn(TDynPanel* o, const TFont& font, const QString& text)
    {
        return QFontMetrics(font.ToQFont(), &o->Background->Image()).horizontalAdvance(text);
    }

    QTemporaryDir dir;
    TMemoryStream stream;
    TProjectContext savedProject;
    std::unique_ptr<QWidget> top;
    TDynRichEdit* host = nullptr;
};

// ---- the label ----

TEST_F(LabelTest, NewLabelIsNamedCentredAndShowsItsText)
{
    TDynLabel* o = MakeLabel(10, 10, 200, 80, QString());
    EXPECT_EQ(o->KindInfo.Code, kcLabel);
    EXPECT_EQ(o->KindInfo.Name, "Label");
    EXPECT_TRUE(o->Name.startsWith("Label"));
    EXPECT_EQ(o->HAlign, 1);
    EXPECT_EQ(o->VAlign, 1);
    EXPECT_TRUE(o->ShowContent);
    EXPECT_EQ(o->Content, o->LabelRecord);
    EXPECT_FALSE(o->LabelRecord->isVisibleTo(o)) << "the text record is never shown as a widget";
    // Without text the record is empty and the preferred size is the border alone.
    EXPECT_EQ(o->LabelRecord->Width, 0);
    EXPECT_EQ(o->LabelRecord->Height, 0);
    EXPECT_EQ(o->PreferredWidth, 4);
}

struct AlignCase {
    Int32 HAlign, VAlign;
};

TEST_F(LabelTest, TextIsPlacedAndPaintedByEachAlignment)
{
    // 200 x 80 with a border of 2: the content frame is (2, 2) to (198, 78).
    const AlignCase cases[] = {{0, 0}, {1, 1}, {2, 2}, {0, 2}, {2, 0}, {7, 1}, {1, 7}};
    TDynLabel* o = MakeLabel(10, 10, 200, 80, QStringLiteral("Hg 42"));
    const int w = o->LabelRecord->Width, h = o->LabelRecord->Height;
    ASSERT_EQ(w, TextWidthOn(o, o->Font(), "Hg 42") + 2);
    ASSERT_GT(h, 2);
    for (const AlignCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "HAlign " << c.HAlign << ", VAlign " << c.VAlign);
        o->SetContentAlignment(c.VAlign, c.HAlign);
        o->MeasureContent();
        o->Repaint();
        const int left = c.HAlign == 0 ? 3 : c.HAlign == 2 ? 198 - w - 3 : 2 + (196 - w) / 2;
        // Bottom alignment counts from the content bottom less the content top.
        const int topPos = c.VAlign == 0 ? 2 : c.VAlign == 2 ? 78 - 2 - h : 2 + (76 - h) / 2;
        EXPECT_EQ(o->LabelRecord->Rect(), TRect::FromBounds(left, topPos, w, h));
        EXPECT_EQ(o->ContentLeft, left);
        EXPECT_EQ(o->ContentTop, topPos);
        EXPECT_EQ(o->PreferredWidth, w + 4);
        EXPECT_EQ(o->PreferredHeight, h + 4);
        // The text is drawn 2 pixels inside its record, and nowhere else inside the frame.
        const QRect ink = InkIn(o->Background->Image(), QRect(2, 2, 196, 76));
        ASSERT_FALSE(ink.isEmpty());
        EXPECT_TRUE(QRect(left + 2, topPos + 2, w - 2, h - 2).contains(ink))
            << "ink " << ink.x() << "," << ink.y() << " " << ink.width() << "x" << ink.height();
    }
}

TEST_F(LabelTest, CentredLabelMovesToTheMiddleOfItsContainer)
{
    TDynLabel* o = MakeLabel(10, 10, 200, 80, QStringLiteral("Mitte"));
    o->Centered = true;
    o->MeasureContent();
    EXPECT_EQ(o->Left(), (800 - 200) / 2);
    EXPECT_EQ(o->pleft, 300);
}

struct ZoomCase {
    int LogicalSize;
    double Factor;
    int ZoomedSize;
};

TEST_F(LabelTest, ZoomSetsTheFontFromTheLogicalSizeAndMeasuresAgain)
{
    const ZoomCase cases[] = {
        {10, 1.5, 15},
        {11, 1.5, 16}, // 16.5: halves go to the even neighbour
        {9, 1.5, 14},  // 13.5
        {10, 2.0, 20},
    };
    for (const ZoomCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.LogicalSize << " pt at " << c.Factor);
        ZoomFactor = 1.0;
        TDynLabel* o = MakeLabel(20, 20, 300, 100, QStringLiteral("Zoom Hg"));
        TFont f = o->Font();
        f.SetSize(c.LogicalSize);
        o->SetObjectFont(f);
        const int width1 = o->LabelRecord->Width;
        EXPECT_EQ(width1, TextWidthOn(o, o->Font(), "Zoom Hg") + 2);

        ZoomFactor = c.Factor;
        o->ApplyZoom(c.Factor);
        EXPECT_EQ(o->Font().Size(), c.ZoomedSize);
        EXPECT_EQ(o->LogicalFontSize, c.LogicalSize);
        EXPECT_EQ(o->Width(), RoundHalfEven(300 * c.Factor));
        // Measured in the zoomed font; the logical content width follows the zoom back.
        EXPECT_EQ(o->LabelRecord->Width, TextWidthOn(o, o->Font(), "Zoom Hg") + 2);
        EXPECT_EQ(o->ContentWidth, RoundHalfEven(o->LabelRecord->Width / c.Factor));
        // Painted inside its record in pixels of the zoomed surface (one pixel either way for
        // the logical rounding of its position).
        // Both ways of painting the own surface.
        const TLLabel& r = *o->LabelRecord;
        for (bool repaint : {true, false}) {
            if (!repaint)
                o->PaintTo(o->Background->Canvas());
            const QRect ink = InkIn(o->Background->Image(), QRect(0, 0, o->Width(), o->Height()).adjusted(4, 4, -4, -4));
            ASSERT_FALSE(ink.isEmpty());
            EXPECT_TRUE(QRect(r.Left + 1, r.Top + 1, r.Width, r.Height).contains(ink))
                << (repaint ? "Repaint" : "PaintTo") << ": ink " << ink.x() << "," << ink.y() << " " << ink.width()
                << "x" << ink.height();
        }
        // Back at 100 % the font is the logical size again.
        ZoomFactor = 1.0;
        o->ApplyZoom(1.0);
        EXPECT_EQ(o->Font().Size(), c.LogicalSize);
        EXPECT_EQ(o->LabelRecord->Width, width1);
        delete o;
    }
}

TEST_F(LabelTest, EmptyTextAndHiddenContentLeaveOnlyFrameAndBackground)
{
    TDynLabel* o = MakeLabel(10, 10, 200, 80, QStringLiteral("Inhalt"));
    o->SetColor(clYellow);
    const TRect placed = o->LabelRecord->Rect();
    const QRect bounds = o->geometry();

    // An empty text: a record of 0 x 0, no new placement, the object keeps its size.
    o->SetText(QString());
    EXPECT_EQ(o->LabelRecord->Width, 0);
    EXPECT_EQ(o->LabelRecord->Height, 0);
    EXPECT_EQ(o->LabelRecord->Left, placed.Left);
    EXPECT_EQ(o->LabelRecord->Top, placed.Top);
    EXPECT_EQ(o->geometry(), bounds);
    o->Repaint();
    EXPECT_TRUE(InkIn(o->Background->Image(), QRect(2, 2, 196, 76)).isEmpty());

    // The text back, but the data-text flag off: only the frame and the yellow fill are painted.
    o->SetText(QStringLiteral("Inhalt"));
    o->ToggleShowContent();
    EXPECT_FALSE(o->ShowContent);
    o->PaintTo(o->Background->Canvas());
    const QImage& image = o->Background->Image();
    EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::black)) << "the border";
    for (int y = 2; y < 78; ++y)
        for (int x = 2; x < 198; ++x)
            ASSERT_EQ(image.pixelColor(x, y), QColor(Qt::yellow)) << x << "," << y;
    o->ToggleShowContent();
    EXPECT_FALSE(InkIn(o->Background->Image(), QRect(2, 2, 196, 76)).isEmpty());
}

// ---- records ----

struct RecordCase {
    Int32 Code;
    double Zoom;
};

TEST_F(LabelTest, RecordsOfLabelAndEditFieldReadBackByteForByte)
{
    const RecordCase cases[] = {{kcLabel, 1.0}, {kcLabel, 1.5}, {kcEdit, 1.0}, {kcEdit, 1.5}};
    for (const RecordCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << c.Code << " at zoom " << c.Zoom);
        ZoomFactor = c.Zoom;
        TDynPanel* o = nullptr;
        if (c.Code == kcLabel) {
            TDynLabel* l = MakeLabel(15, 25, 180, 60, QStringLiteral("Umsatz 2024 – Größe"));
            l->SetContentAlignment(0, 2);
            l->ShowContent = false;
            o = l;
        } else {
            TDynEdit* e = MakeEdit(15, 25, 180, 60);
            e->Edit->setText(QStringLiteral("Kundennummer"));
            o = e;
        }
        o->Name = QStringLiteral("Obj") + QString::number(c.Code);
        TFont f = o->Font();
        f.SetSize(12);
        f.Bold = true;
        o->SetObjectFont(f);
        o->SetColor(clAqua);
        const QByteArray first = Record(o, c.Code);
        // Closed: the end field holds the end of the record.
        qint32 end = 0;
        std::memcpy(&end, first.constData() + 4, 4);
        EXPECT_EQ(end, first.size());

        TDynPanel* r = c.Code == kcLabel ? static_cast<TDynPanel*>(MakeLabel(0, 0, 40, 40, QString()))
                                         : static_cast<TDynPanel*>(MakeEdit(0, 0, 40, 40));
        Load(r, c.Code, first);
        r->SetVisible(r->StoredVisible); // as the form shows its objects after reading them
        EXPECT_EQ(r->Font().Size(), RoundHalfEven(12 * c.Zoom)) << "shown in the zoomed font";
        EXPECT_EQ(r->LogicalFontSize, 12);
        if (c.Code == kcLabel) {
            auto* l = static_cast<TDynLabel*>(r);
            EXPECT_EQ(l->Text(), QStringLiteral("Umsatz 2024 – Größe"));
            EXPECT_FALSE(l->ShowContent);
            EXPECT_EQ(l->HAlign, 2);
            EXPECT_EQ(l->VAlign, 0);
            EXPECT_EQ(l->LabelRecord->Width, TextWidthOn(l, l->Font(), l->Text()) + 2) << "measured on reading";
        } else {
            auto* e = static_cast<TDynEdit*>(r);
            EXPECT_EQ(e->Edit->text(), "Kundennummer");
            EXPECT_EQ(e->Edit->Color(), clAqua);
            EXPECT_EQ(e->Edit->EditFont().Size(), RoundHalfEven(12 * c.Zoom));
        }
        const QByteArray second = Record(r, c.Code);
        EXPECT_EQ(second.toHex(' ').toStdString(), first.toHex(' ').toStdString());
        delete r;
        delete o;
    }
}

TEST_F(LabelTest, LabelRecordWithoutTheFlagShowsItsText)
{
    TDynLabel* o = MakeLabel(10, 10, 120, 40, QStringLiteral("Alt"));
    QByteArray record = Record(o, kcLabel);
    // An older record: the flag byte missing, the end one byte earlier.
    record.chop(1);
    const qint32 end = static_cast<qint32>(record.size());
    record.replace(4, 4, QByteArray(reinterpret_cast<const char*>(&end), 4));
    record.append("next", 4);

    TDynLabel* r = MakeLabel(0, 0, 40, 40, QString());
    r->ShowContent = false;
    stream.Clear();
    stream.WriteBytes(record);
    stream.SetPosition(0);
    TKindRegistry::Get().Find(kcLabel)->Load(r, {});
    EXPECT_TRUE(r->ShowContent);
    EXPECT_EQ(r->Text(), "Alt");
    EXPECT_EQ(stream.Position(), end) << "the next record starts right after this one";
}

// ---- the edit field ----

TEST_F(LabelTest, NewEditFieldShowsTextSizedToItAndFollowsItsText)
{
    TDynEdit* o = MakeEdit(10, 10, 200, 60);
    EXPECT_EQ(o->KindInfo.Code, kcEdit);
    EXPECT_TRUE(o->Name.startsWith("Edit"));
    EXPECT_EQ(o->Interaction, 63);
    EXPECT_EQ(o->Content, o->Edit);
    EXPECT_EQ(o->Edit->text(), "Text");
    EXPECT_FALSE(o->Edit->hasFrame());
    EXPECT_EQ(o->Edit->Color(), clWhite);
    const int w = TextWidthOn(o, o->Font(), "Text") + 2;
    const int h = QFontMetrics(o->Font().ToQFont(), &o->Background->Image()).height() + 2;
    EXPECT_EQ(o->Edit->size(), QSize(w, h));
    // Centred in the content frame (2, 2) to (198, 58); preferred size = edit + twice the border.
    EXPECT_EQ(o->Edit->pos(), QPoint(2 + (196 - w) / 2, 2 + (56 - h) / 2));
    EXPECT_EQ(o->PreferredWidth, w + 4);
    EXPECT_EQ(o->PreferredHeight, h + 4);
    EXPECT_TRUE(o->Edit->isVisibleTo(o));

    // Typing measures again; the object's name goes into the edit; no text, no size.
    o->Edit->setText(QStringLiteral("Ein längerer Text"));
    EXPECT_EQ(o->Edit->width(), TextWidthOn(o, o->Font(), "Ein längerer Text") + 2);
    o->SetObjectName(QStringLiteral("Feld7"));
    EXPECT_EQ(o->Name, "Feld7");
    EXPECT_EQ(o->Edit->text(), "Feld7");
    o->Edit->clear();
    EXPECT_EQ(o->Edit->size(), QSize(0, 0));
}

TEST_F(LabelTest, EditFieldZoomsItsFontAndTheEditTogether)
{
    TDynEdit* o = MakeEdit(10, 10, 200, 60);
    const int width1 = o->Edit->width();
    ZoomFactor = 1.5;
    o->ApplyZoom(1.5);
    EXPECT_EQ(o->Font().Size(), 15);
    EXPECT_EQ(o->Edit->EditFont().Size(), 15);
    EXPECT_EQ(o->LogicalFontSize, 10);
    EXPECT_EQ(o->Edit->width(), TextWidthOn(o, o->Edit->EditFont(), "Text") + 2);
    EXPECT_GT(o->Edit->width(), width1);
    // Placed in the zoomed content frame.
    const TRect cf = o->ContentFrame->PixelRect();
    EXPECT_EQ(o->Edit->x(), cf.Left + (cf.Width() - o->Edit->width()) / 2);
}

// ---- output ----

// The words pdftotext finds in a file, with their left edge in points.
QList<QPair<QString, double>> PdfWords(const QString& pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    EXPECT_TRUE(p.waitForFinished(30000));
    const QString html = QString::fromUtf8(p.readAllStandardOutput());
    static const QRegularExpression word(QStringLiteral("<word xMin=\"([0-9.]+)\"[^>]*>([^<]*)</word>"));
    QList<QPair<QString, double>> words;
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        words.append({m.captured(2), m.captured(1).toDouble()});
    }
    return words;
}

TEST_F(LabelTest, LabelsAndEditFieldsPrintTheirTextsOntoAPdfPage)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    TPrinter& printer = TPrinter::Get();
    printer.SetPrinterIndex(-1); // the PDF printer at 180 dpi
    ASSERT_EQ(printer.DpiX(), 180);

    // At 150 % on screen; the page takes logical positions and sizes.
    ZoomFactor = 1.5;
    TDynLabel* shown = MakeLabel(96, 40, 300, 40, QStringLiteral("Rechnungsbetrag"));
    shown->SetContentAlignment(1, 0);
    TDynLabel* hidden = MakeLabel(96, 120, 300, 40, QStringLiteral("Unsichtbar"));
    hidden->ToggleShowContent();
    TDynEdit* edit = MakeEdit(96, 200, 300, 40);
    edit->Edit->setText(QStringLiteral("Eingabefeld"));

    const QString pdf = dir.filePath(QStringLiteral("label.pdf"));
    printer.SetOutputFile(pdf);
    ASSERT_TRUE(printer.BeginDoc(QStringLiteral("Label")));
    PaintingForOutput = true;
    host->PaintTo(*printer.Canvas());
    PaintingForOutput = false;
    ASSERT_TRUE(printer.EndDoc());

    const auto words = PdfWords(pdf);
    QStringList texts;
    for (const auto& w : words)
        texts << w.first;
    EXPECT_TRUE(texts.contains("Rechnungsbetrag")) << texts.join(' ').toStdString();
    EXPECT_TRUE(texts.contains("Eingabefeld")) << texts.join(' ').toStdString();
    EXPECT_FALSE(texts.contains("Unsichtbar")) << "a label with its flag off prints no text";

    // Left aligned: the text starts at [pleft x 180 / 96] + [ContentLeft x 180 / 96] + 2 dots.
    const double leftDots = RoundHalfEven(shown->pleft * 1.875) + RoundHalfEven(1.875 * shown->ContentLeft) + 2;
    const auto found = std::find_if(words.begin(), words.end(), [](const auto& w) { return w.first == "Rechnungsbetrag"; });
    ASSERT_NE(found, words.end());
    EXPECT_NEAR(found->second, leftDots * 72.0 / 180.0, 2.0);
}

} // namespace
