// The container and the rich-text object: lines, painting through the text image, the rich-text
// layer of the record, children inside a container's record, and placing a pending kind.
#include "designer/BImage.h"
#include "objects/DynRichEdit.h"
#include "objects/ObjectList.h"
#include "platform/MemoryStream.h"
#include "platform/Printer.h"
#include "platform/Screen.h"
#include "shell/Texts.h"
#include "shell/Variable.h"
#include <QDir>
#include <QPicture>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>
#include <cstring>
#include <memory>
#include <optional>

namespace {

class RichEdit : public testing::Test {
protected:
    void SetUp() override
    {
        InitVariables(QDir::tempPath());
        FillTextDefaults();
        TScreen::Override(96, 1280, 1024);
        top = std::make_unique<QWidget>();
        top->resize(800, 600);
        DrawRect = TDrawRect{0, 0, 0, 0, 0, 0, 600, 400};
        container = TDynMultiPanel::CreateMultiPanel(nullptr, top.get());
        container->SetColor(clYellow);
        container->show();
        top->show();
        CurrentParent = container;
    }
    void TearDown() override
    {
        TDynMultiPanel::CreatePendingObject() = nullptr;
        PaintingForOutput = false;
        CurrentParent = nullptr;
        SharedStream = nullptr;
        delete container;
        top.reset();
        TScreen::ClearOverride();
        TPrinter::Get().Reset();
    }
    // A rich-text object in the container at the given place.
    TDynRichEdit* Child(int l, int t, int w, int h, TDynMultiPanel* parent = nullptr)
    {
        parent = parent ? parent : container;
        DrawRect = TDrawRect{0, 0, 0, 0, l, t, l + w, t + h};
        auto* o = new TDynRichEdit(nullptr, parent);
        parent->Children->Add(o);
        o->UpdateLayout();
        o->show();
        return o;
    }
    // Text with a bold run, a red italic run and a centred second paragraph.
    static void WriteFormattedText(TDynRichEdit* o)
    {
        QTextCursor c(o->EnsureRichText()->document());
        c.insertText(QStringLiteral("Plain "));
        QTextCharFormat bold;
        bold.setFontWeight(QFont::Bold);
        c.insertText(QStringLiteral("Bold"), bold);
        QTextCharFormat red;
        red.setForeground(QColor(Qt::red));
        red.setFontItalic(true);
        c.insertText(QStringLiteral(" Red"), red);
        QTextBlockFormat centred;
        centred.setAlignment(Qt::AlignHCenter);
        c.insertBlock(centred);
        c.insertText(QStringLiteral("Second paragraph"), QTextCharFormat());
        o->LayoutLines();
    }
    // Large red text that fills most of the object.
    static void WriteRedText(TDynRichEdit* o)
    {
        QTextCursor c(o->EnsureRichText()->document());
        QTextCharFormat f;
        f.setForeground(QColor(Qt::red));
        f.setFontWeight(QFont::Black);
        f.setFontPointSize(28);
        c.insertText(QStringLiteral("MMMM"), f);
        o->LayoutLines();
    }
    // Where the rich-text block of the first rich-text object in a stream starts: the offset of
    // its RTF bytes, whose size is the Int32 before them.
    static qsizetype RtfOffset(const TMemoryStream& s) { return s.Data().indexOf("{\\rtf"); }
    static qint32 Int32At(const QByteArray& b, qsizetype at)
    {
        qint32 v = 0;
        std::memcpy(&v, b.constData() + at, 4);
        return v;
    }

    std::unique_ptr<QWidget> top;
    TDynMultiPanel* container = nullptr;
};

struct PixelCount {
    int Pure = 0, Black = 0, Other = 0;
};

// Counts the pixels of one colour, the black ones and the rest within a rectangle.
PixelCount CountPixels(const QImage& image, const QRect& r, QColor pure)
{
    PixelCount n;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c == pure)
                ++n.Pure;
            else if (c == QColor(Qt::black))
                ++n.Black;
            else
                ++n.Other;
        }
    return n;
}

bool RowsWhite(const QImage& image, int from, int to)
{
    for (int y = std::max(0, from); y < std::min(to, image.height()); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) != QColor(Qt::white))
                return false;
    return true;
}

} // namespace

// ---- lines and painting ----

TEST_F(RichEdit, TwoHundredFiftyLinesLayOutAndPaintOnlyTheFirstTwoHundred)
{
    TDynRichEdit* o = Child(0, 0, 300, 6000);
    QStringList lines;
    for (int i = 1; i <= 250; ++i)
        lines << QStringLiteral("Line %1").arg(i);
    const QString text = lines.join('\n');
    o->EnsureRichText()->setPlainText(text);
    EXPECT_EQ(o->RichText->LineCount(), 0 + 250);
    o->LayoutLines();

    EXPECT_TRUE(o->LinesLaidOut);
    ASSERT_EQ(o->LineCount, 199);
    EXPECT_FALSE(o->RichText->isVisible());
    const TRichLine& last = o->Lines[199];
    EXPECT_EQ(last.First, text.indexOf(QStringLiteral("Line 200")));
    EXPECT_EQ(last.End - last.First, 8);
    for (int i = 1; i < MaxRichLines; ++i) {
        ASSERT_GT(o->Lines[size_t(i)].Y, o->Lines[size_t(i - 1)].Y) << i;
        ASSERT_EQ(o->Lines[size_t(i - 1)].Height, o->Lines[size_t(i)].Y - o->Lines[size_t(i - 1)].Y) << i;
    }
    // The text of the document goes on below line 200, but nothing of it is painted.
    ASSERT_GT(o->RichText->document()->size().height(), last.Y + 40 * last.Height);

    o->Repaint();
    EXPECT_FALSE(o->LinesLaidOut);
    const QImage& cache = o->TextCache;
    ASSERT_EQ(cache.size(), QSize(o->ContentFrame->LogicalWidth, o->ContentFrame->LogicalHeight));
    EXPECT_FALSE(RowsWhite(cache, last.Y, last.Y + last.Height)) << "line 200 is painted";
    EXPECT_TRUE(RowsWhite(cache, last.Y + last.Height, last.Y + 40 * last.Height)) << "line 201 on is not";
    // The own surface shows the same: its fill is white, the border 2 pixels.
    const QImage& surface = o->Background->Image();
    EXPECT_TRUE(RowsWhite(surface.copy(2, 0, 296, 6000), last.Y + last.Height + 2, last.Y + 40 * last.Height));
    EXPECT_FALSE(RowsWhite(surface.copy(2, 0, 296, 6000), last.Y + 2, last.Y + last.Height + 2));
}

TEST_F(RichEdit, LimitZoomKeepsAZoomedFormWithinFourMillionPixels)
{
    TDynRichEdit* o = Child(0, 0, 50, 50);
    const struct { Int32 w, h; double asked, expected; } cases[] = {
        {2000, 1500, 200, 115.47}, {2000, 1500, 100, 100}, {1000, 1000, 250, 200}, {1000, 1000, 200, 200}};
    for (const auto& c : cases) {
        o->pwidth = c.w;
        o->pheight = c.h;
        double percent = c.asked;
        o->LimitZoom(percent);
        EXPECT_NEAR(percent, c.expected, 0.005) << c.w << "x" << c.h << " at " << c.asked;
    }
}

TEST_F(RichEdit, TextIsAndedOntoTheFillThroughTheCachedImage)
{
    TPrinter::Get().SetPdfResolution(96); // one printer dot per logical pixel
    // On the printer: a transparent object goes through the image, an opaque one prints its
    // lines directly.
    for (const bool transparent : {true, false}) {
        TDynRichEdit* o = Child(40, 40, 300, 120);
        WriteRedText(o);
        o->Transparent = transparent;
        QImage page(800, 600, QImage::Format_RGB32);
        page.fill(Qt::cyan);
        QPainter painter(&page);
        TCanvas canvas(&painter, TCanvasKind::Printer);
        PaintingForOutput = true;
        o->PaintTo(canvas);
        PaintingForOutput = false;
        painter.end();
        const QRect inner = o->InnerRect.ToQRect();
        const PixelCount n = CountPixels(page, inner, Qt::red);
        if (transparent) {
            EXPECT_EQ(o->TextCache.size(), QSize(o->ContentFrame->LogicalWidth, o->ContentFrame->LogicalHeight));
            EXPECT_EQ(n.Pure, 0);
            EXPECT_GT(n.Black, 200) << "red AND cyan is black";
            EXPECT_EQ(page.pixelColor(inner.right() - 2, inner.bottom() - 2), QColor(Qt::cyan)) << "no fill painted";
        } else {
            EXPECT_TRUE(o->TextCache.isNull());
            EXPECT_GT(n.Pure, 200);
            EXPECT_EQ(page.pixelColor(inner.right() - 2, inner.bottom() - 2), QColor(Qt::white));
        }
        delete o;
    }
    // A printer without raster operations (a PDF file) gets the image with its white made
    // transparent: the page under it stays visible.
    {
        TDynRichEdit* o = Child(40, 40, 300, 120);
        WriteRedText(o);
        o->Transparent = true;
        QPicture recording;
        QPainter painter(&recording);
        TCanvas canvas(&painter, TCanvasKind::Printer);
        PaintingForOutput = true;
        o->PaintTo(canvas);
        PaintingForOutput = false;
        painter.end();
        QImage page(800, 600, QImage::Format_RGB32);
        page.fill(Qt::cyan);
        QPainter player(&page);
        recording.play(&player);
        player.end();
        const QRect inner = o->InnerRect.ToQRect();
        EXPECT_GT(CountPixels(page, inner, Qt::red).Pure, 200);
        EXPECT_EQ(page.pixelColor(inner.right() - 2, inner.bottom() - 2), QColor(Qt::cyan));
        delete o;
    }
    // On its own surface the object's fill shows through the white of the image.
    TDynRichEdit* o = Child(40, 40, 300, 120);
    WriteRedText(o);
    o->SetColor(clLime);
    const QImage& surface = o->Background->Image();
    const QRect inner = o->InnerRect.ToQRect();
    const PixelCount n = CountPixels(surface, inner, Qt::red);
    EXPECT_EQ(n.Pure, 0);
    EXPECT_GT(n.Black, 200) << "red AND lime is black";
    EXPECT_EQ(surface.pixelColor(inner.right() - 2, inner.bottom() - 2), QColor(Qt::green));
    // A transparent one shows its container's fill.
    container->SetColor(clAqua);
    o->SetTransparent(true);
    EXPECT_EQ(o->Background->Image().pixelColor(inner.right() - 2, inner.bottom() - 2), QColor(Qt::cyan));
    EXPECT_GT(CountPixels(o->Background->Image(), inner, Qt::red).Black, 200);
}

TEST_F(RichEdit, ChangedTextRendersTheCacheAgain)
{
    TDynRichEdit* o = Child(0, 0, 200, 60);
    o->EnsureRichText()->setPlainText(QStringLiteral("MMMMMMMM"));
    o->LayoutLines();
    o->Repaint();
    ASSERT_FALSE(RowsWhite(o->TextCache, 0, o->TextCache.height()));
    o->RichText->setPlainText(QStringLiteral("."));
    o->LayoutLines();
    o->Repaint();
    // Only the dot is left at the start of the line.
    const QImage& cache = o->TextCache;
    EXPECT_TRUE(RowsWhite(cache.copy(20, 0, cache.width() - 20, cache.height()), 0, cache.height()));
}

// ---- the record ----

TEST_F(RichEdit, FormattedTextSurvivesASaveAndSavesToTheSameBytes)
{
    TDynRichEdit* o = Child(10, 10, 300, 100);
    WriteFormattedText(o);
    const QByteArray rtf = o->RichText->SaveRtf();
    ASSERT_TRUE(rtf.startsWith("{\\rtf"));
    TMemoryStream first;
    container->Children->SaveToStream(first);
    // The block: line count, size, then the RTF bytes ending the record.
    const qsizetype at = RtfOffset(first);
    ASSERT_GT(at, 8);
    EXPECT_EQ(Int32At(first.Data(), at - 4), rtf.size());
    EXPECT_EQ(Int32At(first.Data(), at - 8), o->RichText->LineCount());
    EXPECT_EQ(first.Data().mid(at), rtf);

    TDynMultiPanel* other = TDynMultiPanel::CreateMultiPanel(nullptr, top.get());
    std::unique_ptr<TDynMultiPanel> guard(other);
    CurrentParent = other;
    first.SetPosition(0);
    other->Children->LoadFromStream(first);
    ASSERT_EQ(other->Children->Count(), 1);
    auto* loaded = dynamic_cast<TDynRichEdit*>(other->Children->Panel(0));
    ASSERT_NE(loaded, nullptr);
    ASSERT_NE(loaded->RichText, nullptr);
    EXPECT_EQ(loaded->RichText->toPlainText(), QStringLiteral("Plain Bold Red\nSecond paragraph"));
    QTextCursor c(loaded->RichText->document());
    c.setPosition(8);
    EXPECT_EQ(c.charFormat().fontWeight(), QFont::Bold);
    c.setPosition(13);
    EXPECT_EQ(c.charFormat().foreground().color(), QColor(Qt::red));
    EXPECT_TRUE(c.charFormat().fontItalic());
    EXPECT_EQ(loaded->RichText->document()->lastBlock().blockFormat().alignment() & Qt::AlignHorizontal_Mask,
              Qt::AlignHCenter);
    EXPECT_EQ(loaded->LineCount, 1) << "the lines are laid out after loading";
    EXPECT_EQ(loaded->BaseTop, loaded->ptop);
    EXPECT_EQ(loaded->BaseLeft, loaded->pleft);

    TMemoryStream second;
    other->Children->SaveToStream(second);
    EXPECT_EQ(second.Data().mid(RtfOffset(second)), rtf);

    // Without a control the block is the count -1 alone.
    TDynRichEdit* plain = Child(0, 0, 40, 40);
    TMemoryStream s;
    SharedStream = &s;
    plain->SaveToStream();
    SharedStream = nullptr;
    EXPECT_EQ(Int32At(s.Data(), s.Size() - 4), -1);
}

TEST_F(RichEdit, UnreadableRichTextIsSkippedBySizeAndTheNextObjectStillLoads)
{
    TDynRichEdit* a = Child(10, 10, 200, 50);
    a->EnsureRichText()->setPlainText(QStringLiteral("First text"));
    TDynRichEdit* b = Child(10, 70, 200, 50);
    b->EnsureRichText()->setPlainText(QStringLiteral("Next object"));
    TMemoryStream saved;
    container->Children->SaveToStream(saved);
    const qsizetype at = RtfOffset(saved);
    const qint32 n = Int32At(saved.Data(), at - 4);

    // Binary bytes in place of the RTF: the control cannot read them.
    QByteArray bytes = saved.Data();
    for (qint32 i = 0; i < n; ++i)
        bytes[at + i] = char(i % 7);
    TMemoryStream damaged(bytes);
    TDynMultiPanel* other = TDynMultiPanel::CreateMultiPanel(nullptr, top.get());
    std::unique_ptr<TDynMultiPanel> guard(other);
    CurrentParent = other;
    other->Children->LoadFromStream(damaged);
    EXPECT_EQ(damaged.Position(), damaged.Size());
    ASSERT_EQ(other->Children->Count(), 2);
    auto* first = dynamic_cast<TDynRichEdit*>(other->Children->Panel(0));
    auto* next = dynamic_cast<TDynRichEdit*>(other->Children->Panel(1));
    ASSERT_TRUE(first && next);
    ASSERT_NE(first->RichText, nullptr);
    EXPECT_TRUE(first->RichText->document()->isEmpty());
    EXPECT_EQ(first->LineCount, -1);
    EXPECT_EQ(next->RichText->toPlainText(), QStringLiteral("Next object"));
    EXPECT_EQ(next->ptop, 70);

    // A size beyond the end of the stream is refused, and no object is left behind.
    bytes = saved.Data();
    const qint32 huge = 0x7FFFFFF0;
    std::memcpy(bytes.data() + at - 4, &huge, 4);
    TMemoryStream oversize(bytes);
    TDynMultiPanel* third = TDynMultiPanel::CreateMultiPanel(nullptr, top.get());
    std::unique_ptr<TDynMultiPanel> guard3(third);
    CurrentParent = third;
    EXPECT_THROW(third->Children->LoadFromStream(oversize), EStreamError);
    EXPECT_EQ(third->Children->Count(), 0);
    EXPECT_TRUE(third->findChildren<TDynRichEdit*>().isEmpty());
}

TEST_F(RichEdit, PlainTextLoadsAndBinaryBytesLeaveTheTextAsItWas)
{
    TDynRichEdit* o = Child(0, 0, 100, 40);
    TLRichEdit* r = o->EnsureRichText();
    const struct { QByteArray bytes; bool loads; QString text; } cases[] = {
        {QByteArray("one\r\ntwo"), true, QStringLiteral("one\ntwo")},
        {QByteArray("caf\xe9"), true, QStringLiteral("caf\u00e9")},            // Windows-1252
        {QByteArray("caf\xc3\xa9"), true, QStringLiteral("caf\u00e9")},        // UTF-8
        {QByteArray("\x01\x02\x00x", 4), false, QStringLiteral("caf\u00e9")},  // binary: unchanged
        {QByteArray("{\\rtf1 {\\b rich}}"), true, QStringLiteral("rich")},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(r->LoadRtf(c.bytes), c.loads) << c.bytes.toHex().constData();
        EXPECT_EQ(r->toPlainText(), c.text) << c.bytes.toHex().constData();
    }
}

// ---- the container ----

TEST_F(RichEdit, LoadedContainerMakesItsChildrenInsideItselfAndRestoresTheCurrentParent)
{
    DrawRect = TDrawRect{0, 0, 0, 0, 20, 20, 320, 220};
    TDynMultiPanel* outer = TDynMultiPanel::CreateMultiPanel(nullptr, container);
    container->Children->Add(outer);
    EXPECT_EQ(outer->KindInfo.Code, kcMultiPanel);
    EXPECT_TRUE(outer->Name.startsWith(QStringLiteral("DynMultiPanel")));
    EXPECT_EQ(outer->Children->ListName, outer->Name + QStringLiteral("_List"));
    TDynRichEdit* text = Child(10, 10, 100, 30, outer);
    text->EnsureRichText()->setPlainText(QStringLiteral("inside"));
    DrawRect = TDrawRect{0, 0, 0, 0, 10, 60, 210, 160};
    TDynMultiPanel* inner = TDynMultiPanel::CreateMultiPanel(nullptr, outer);
    outer->Children->Add(inner);
    Child(5, 5, 60, 30, inner);

    TMemoryStream saved;
    container->Children->SaveToStream(saved);

    auto* host = TDynMultiPanel::CreateMultiPanel(nullptr, top.get());
    std::unique_ptr<TDynMultiPanel> guard(host);
    CurrentParent = host;
    saved.SetPosition(0);
    host->Children->LoadFromStream(saved);
    EXPECT_EQ(CurrentParent, host);
    ASSERT_EQ(host->Children->Count(), 1);
    auto* loaded = dynamic_cast<TDynMultiPanel*>(host->Children->Panel(0));
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->KindInfo.Code, kcMultiPanel);
    ASSERT_EQ(loaded->Children->Count(), 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(loaded->Children->Panel(i)->parentWidget(), loaded) << i;
        EXPECT_EQ(loaded->Children->Panel(i)->Container, loaded) << i;
        EXPECT_EQ(loaded->Children->Panel(i)->OwnerList, loaded->Children.get()) << i;
    }
    auto* loadedInner = dynamic_cast<TDynMultiPanel*>(loaded->Children->Panel(1));
    ASSERT_NE(loadedInner, nullptr);
    ASSERT_EQ(loadedInner->Children->Count(), 1);
    EXPECT_EQ(loadedInner->Children->Panel(0)->parentWidget(), loadedInner);
    EXPECT_EQ(dynamic_cast<TDynRichEdit*>(loaded->Children->Panel(0))->RichText->toPlainText(), "inside");

    // A stream that breaks off inside the inner container still gives the current parent back.
    TMemoryStream cut(saved.Data().left(saved.Size() - 30));
    auto* host2 = TDynMultiPanel::CreateMultiPanel(nullptr, top.get());
    std::unique_ptr<TDynMultiPanel> guard2(host2);
    CurrentParent = host2;
    EXPECT_THROW(host2->Children->LoadFromStream(cut), EStreamError);
    EXPECT_EQ(CurrentParent, host2);
    EXPECT_EQ(host2->Children->Count(), 0);
}

TEST_F(RichEdit, ContainerPassesZoomOnAndBecomesTheTargetOfNewObjects)
{
    DrawRect = TDrawRect{0, 0, 0, 0, 10, 10, 210, 110};
    TDynMultiPanel* mp = TDynMultiPanel::CreateMultiPanel(nullptr, container);
    container->Children->Add(mp);
    TDynRichEdit* child = Child(4, 6, 50, 20, mp);
    mp->ApplyZoom(2.0);
    EXPECT_EQ(mp->BoundsRect(), TRect(20, 20, 420, 220));
    EXPECT_EQ(child->BoundsRect(), TRect(8, 12, 108, 52));
    mp->Select();
    EXPECT_EQ(SelectedObject, mp);
    EXPECT_EQ(CurrentParent, mp);
    EXPECT_EQ(CurrentList, mp->Children.get());
}

// ---- the mouse ----

TEST_F(RichEdit, PlacingThePendingKindCallsTheCreationWithTheRubberRectangle)
{
    std::vector<std::pair<TDynMultiPanel*, TDrawRect>> created;
    std::vector<int> kindsSeen;
    TDynMultiPanel::CreatePendingObject() = [&](TDynMultiPanel* p, const TDrawRect& r) {
        created.emplace_back(p, r);
        kindsSeen.push_back(PendingKind);
    };
    struct Case {
        int kind;
        QPoint press;
        std::optional<QPoint> move;
        std::optional<QRect> band; // the outline shown after the move
        TDrawRect expected;
    };
    const Case cases[] = {
        {pkPanel, {60, 50}, QPoint(20, 10), QRect(20, 10, 40, 40), {20, 10, 60, 50, 20, 10, 60, 50}},
        {pkLine, {20, 30}, QPoint(80, 10), QRect(QPoint(20, 30), QPoint(80, 10)), {20, 10, 80, 30, 20, 30, 80, 10}},
        {pkCircle, {20, 20}, QPoint(80, 40), QRect(20, 20, 60, 60), {20, 20, 80, 40, 20, 20, 80, 40}},
        // Placing without moving: both corners at the mouse; the object takes its 40-pixel default.
        {pkEditfield, {30, 40}, std::nullopt, std::nullopt, {30, 40, 30, 40, 30, 40, 30, 40}},
    };
    for (const Case& c : cases) {
        created.clear();
        kindsSeen.clear();
        SelectedObject = nullptr;
        PendingKind = c.kind;
        QTest::mousePress(container, Qt::LeftButton, {}, c.press);
        EXPECT_EQ(SelectedObject, container) << c.kind;
        EXPECT_TRUE(container->RubberActive);
        QPoint release = c.press;
        if (c.move) {
            QTest::mouseMove(container, *c.move);
            release = *c.move;
        }
        EXPECT_EQ(container->Background->RubberBand(), c.band) << c.kind;
        if (c.band) {
            EXPECT_EQ(container->Background->Canvas().Pen.Style, psDashDotDot);
        }
        QTest::mouseRelease(container, Qt::LeftButton, {}, release);
        ASSERT_EQ(created.size(), 1u) << c.kind;
        EXPECT_EQ(created[0].first, container);
        EXPECT_EQ(created[0].second, c.expected) << c.kind;
        EXPECT_EQ(kindsSeen[0], c.kind);
        EXPECT_EQ(PendingKind, NoPendingKind);
        EXPECT_EQ(container->Background->RubberBand(), std::nullopt);
        EXPECT_FALSE(container->RubberActive);
    }
    // With nothing pending a click only selects.
    created.clear();
    SelectedObject = nullptr;
    QTest::mousePress(container, Qt::LeftButton, {}, QPoint(100, 100));
    QTest::mouseRelease(container, Qt::LeftButton, {}, QPoint(100, 100));
    EXPECT_TRUE(created.empty());
    EXPECT_EQ(SelectedObject, container);
}

namespace {
// A container of kind "Grid" that records the clicks its cells pass on.
class TGridStandIn : public TDynRichEdit {
public:
    TGridStandIn(TComponent* owner, QWidget* parent) : TDynRichEdit(owner, parent) { KindInfo = KindByCode(kcGrid); }
    void CellClicked(TDynPanel* cell, TDynPanel* previous) override
    {
        clickedCell = cell;
        previouslySelected = previous;
    }
    TDynPanel* clickedCell = nullptr;
    TDynPanel* previouslySelected = nullptr;
};
} // namespace

TEST_F(RichEdit, GridCellIsBuiltAsACellAndPassesClicksAwayFromItsRightEdgeToTheGrid)
{
    DrawRect = TDrawRect{0, 0, 0, 0, 20, 20, 320, 220};
    auto* grid = new TGridStandIn(nullptr, container);
    container->Children->Add(grid);
    grid->UpdateLayout();
    grid->show();
    TDynRichEdit* cell = Child(4, 4, 80, 24, grid);
    EXPECT_TRUE(cell->IsGridCell);
    EXPECT_EQ(cell->Interaction, 36);
    EXPECT_EQ(cell->Host, grid);
    EXPECT_EQ(cell->BorderWidth, 0);
    EXPECT_EQ(cell->BorderPixels, 0);
    EXPECT_FALSE(cell->GrowWithBorder);
    EXPECT_EQ(cell->PropertySet, PropertySets::RichEditCell());
    EXPECT_EQ(grid->PropertySet, PropertySets::RichEdit());
    EXPECT_FALSE(grid->IsGridCell);

    container->Select();
    QTest::mousePress(cell, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(cell, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(SelectedObject, grid);
    EXPECT_EQ(grid->clickedCell, cell);
    EXPECT_EQ(grid->previouslySelected, container);

    // On the right edge the cell itself takes the click (to size its column).
    QTest::mousePress(cell, Qt::LeftButton, {}, QPoint(78, 10));
    EXPECT_EQ(SelectedObject, cell);
    QTest::mouseRelease(cell, Qt::LeftButton, {}, QPoint(78, 10));
}
