#include "designer/BImage.h"
#include "objects/DYNPanel.h"
#include "objects/DesignerLink.h"
#include "tests/common/RecordingDesigner.h"
#include "platform/Printer.h"
#include "platform/Screen.h"
#include "shell/Variable.h"
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

class ObjectModel : public testing::Test {
protected:
    void SetUp() override
    {
        InitVariables(QDir::tempPath());
        TScreen::Override(96, 1280, 1024);
        SetDesignerLink(&designer);
        top = std::make_unique<QWidget>();
        top->resize(800, 600);
        DrawRect = TDrawRect{0, 0, 0, 0, 0, 0, 600, 400};
        container = new TDynPanel(nullptr, top.get());
        container->SetColor(clYellow);
        container->UpdateLayout();
        container->show();
        top->show();
    }
    void TearDown() override
    {
        delete container;
        top.reset();
        SetDesignerLink(nullptr);
        TScreen::ClearOverride();
        TPrinter::Get().Reset();
    }
    // A child object of the container at the given place.
    TDynPanel* Child(int l, int t, int w, int h)
    {
        DrawRect = TDrawRect{0, 0, 0, 0, l, t, l + w, t + h};
        auto* o = new TDynPanel(nullptr, container);
        container->Children->Add(o);
        o->UpdateLayout();
        o->show();
        return o;
    }
    RecordingDesigner designer;
    std::unique_ptr<QWidget> top;
    TDynPanel* container = nullptr;
};
} // namespace

TEST_F(ObjectModel, NewObjectTakesTheRubberRectangleOrFortyPixels)
{
    TDynPanel* o = Child(30, 40, 100, 60);
    EXPECT_EQ(o->BoundsRect(), TRect(30, 40, 130, 100));
    EXPECT_EQ(o->pwidth, 100);
    DrawRect = TDrawRect{0, 0, 10, 10, 5, 5, 8, 8};
    TDynPanel small(nullptr, container);
    EXPECT_EQ(small.Width(), 40);
    EXPECT_EQ(small.Height(), 40);
    EXPECT_EQ(small.KindInfo.Code, kcSimpel);
    EXPECT_EQ(small.FieldName, QStringLiteral("nil"));
}

TEST_F(ObjectModel, ResizeHitZones)
{
    TDynPanel* o = Child(0, 0, 100, 80);
    const int W = 100, H = 80;
    const struct { int x, y; bool hit, widthEdge, heightEdge; } cases[] = {
        {W - 6, H - 2, true, true, true},   {W - 9, H - 2, true, false, true}, {W - 2, H - 9, true, true, false},
        {W - 6, H - 9, false, false, false}, {10, 10, false, false, false},     {W - 1, H - 1, true, true, true}};
    for (const auto& c : cases) {
        EXPECT_EQ(o->HitResizeEdge(c.x, c.y), c.hit) << c.x << "," << c.y;
        EXPECT_EQ(o->OnWidthEdge, c.widthEdge) << c.x << "," << c.y;
        EXPECT_EQ(o->OnHeightEdge, c.heightEdge) << c.x << "," << c.y;
    }
    o->Interaction = ibAll & ~(ibSizeWidth | ibSizeHeight);
    EXPECT_FALSE(o->HitResizeEdge(W - 1, H - 1));
    o->UpdateHoverCursor(W - 1, H - 1);
    EXPECT_EQ(o->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(ObjectModel, ZoomMapsLogicalValuesWithHalfEvenRounding)
{
    TDynPanel* o = Child(0, 0, 100, 80);
    ZoomFactor = 1.5;
    o->pleft = 11;
    o->ApplyScale(ZoomFactor);
    EXPECT_EQ(o->Left(), 16); // 16.5 goes to the even neighbour
    o->SetLeft(31);
    o->StoreLogicalBounds();
    EXPECT_EQ(o->pleft, 21); // 20.67
    o->Setpwidth(0);
    EXPECT_EQ(o->pwidth, 100);
    o->Setpwidth(30);
    EXPECT_EQ(o->Width(), 45);
    o->SetpLock(true);
    o->Setpwidth(50);
    EXPECT_EQ(o->pwidth, 30);
}

TEST_F(ObjectModel, DraggingMovesAndSnapsToTheGrid)
{
    // The object is selected first: a mouse move only drags the selected object.
    TDynPanel* o = Child(100, 100, 60, 40);
    const struct { int dy; int expectedTop; } cases[] = {{-63, 20}, {-62, 40}};
    for (const auto& c : cases) {
        o->SetBounds(100, 100, 60, 40);
        QTest::mousePress(o, Qt::LeftButton, {}, QPoint(10, 10));
        EXPECT_EQ(SelectedObject, o);
        QTest::mouseMove(o, QPoint(10, 10 + c.dy));
        QTest::mouseRelease(o, Qt::LeftButton, {}, QPoint(10, 10 + c.dy) - QPoint(0, o->Top() - 100 - c.dy));
        // 37 + 2 = 39 -> 20; 38 + 2 = 40 -> 40 (the grid is 20, the border 2 pixels)
        EXPECT_EQ(o->Top(), c.expectedTop) << c.dy;
        EXPECT_EQ(o->ptop, c.expectedTop);
        EXPECT_TRUE(o->TopChanged);
        EXPECT_GT(designer.handlesHidden, 0);
    }
    SnapToGrid = false;
    o->SetBounds(100, 100, 60, 40);
    QTest::mousePress(o, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseMove(o, QPoint(17, 10));
    QTest::mouseRelease(o, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(o->Left(), 107);
    EXPECT_EQ(o->pleft, 107);
}

TEST_F(ObjectModel, TopDockedObjectCannotBeDraggedButFullWidthCan)
{
    TDynPanel* o = Child(100, 100, 60, 40);
    o->PropertySet.set(PositionRowBit);
    o->Docking = 0;
    o->UpdateLayout();
    const TRect docked = o->BoundsRect();
    QTest::mousePress(o, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseMove(o, QPoint(10, 60));
    QTest::mouseRelease(o, Qt::LeftButton, {}, QPoint(10, 60));
    EXPECT_EQ(o->BoundsRect(), docked);
    o->Docking = 5;
    o->UpdateLayout();
    const int topBefore = o->Top();
    QTest::mousePress(o, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseMove(o, QPoint(10, 90));
    QTest::mouseRelease(o, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_NE(o->Top(), topBefore);
}

TEST_F(ObjectModel, DockingInsideTheContainersContentFrame)
{
    // The container's content frame is (2, 2, 402, 302) with its border of 2 pixels.
    container->SetBounds(0, 0, 404, 304);
    container->UpdateLayout();
    ASSERT_EQ(container->ContentFrame->PixelRect(), TRect(2, 2, 402, 302));
    TDynPanel* o = Child(50, 50, 80, 50);
    o->PropertySet.set(PositionRowBit);
    const struct { int code; TRect expected; } cases[] = {
        {1, TRect(2, 252, 402, 302)}, {0, TRect(2, 2, 402, 52)}, {3, TRect(322, 2, 402, 302)},
        {6, TRect(2, 2, 402, 302)}};
    for (const auto& c : cases) {
        o->SetBounds(50, 50, 80, 50);
        o->Docking = c.code;
        o->UpdateLayout();
        EXPECT_EQ(o->BoundsRect(), c.expected) << c.code;
    }
}

TEST_F(ObjectModel, GrowWithBorderBySideCode)
{
    const struct { int code; int dl, dt, dw, dh; } cases[] = {
        {6, 0, 0, 3, 0}, {4, -3, -3, 6, 6}, {5, -3, 0, 3, 0}, {2, 0, 0, 0, 3}, {0, 0, 0, 0, 0}};
    for (const auto& c : cases) {
        TDynPanel* o = Child(100, 100, 80, 60);
        o->SetBorderSides(static_cast<Int16>(c.code));
        o->SetBorderWidth(5);
        EXPECT_EQ(o->Left(), 100 + c.dl) << c.code;
        EXPECT_EQ(o->Top(), 100 + c.dt) << c.code;
        EXPECT_EQ(o->Width(), 80 + c.dw) << c.code;
        EXPECT_EQ(o->Height(), 60 + c.dh) << c.code;
        delete o;
    }
}

TEST_F(ObjectModel, ResizeBeyondTheContainerIsClippedAndWidthlessResizeChangesHeight)
{
    SnapToGrid = false;
    TDynPanel* o = Child(10, 10, 100, 80);
    o->Select();
    QTest::mousePress(o, Qt::LeftButton, {}, QPoint(98, 78)); // the corner
    ASSERT_TRUE(o->Resizing);
    QTest::mouseMove(o, QPoint(2000, 1500));
    EXPECT_TRUE(container->Background->RubberBand().has_value());
    QTest::mouseRelease(o, Qt::LeftButton, {}, QPoint(2000, 1500));
    EXPECT_FALSE(container->Background->RubberBand().has_value());
    EXPECT_EQ(o->Width(), container->Width());
    EXPECT_EQ(o->Height(), container->Height());
    EXPECT_EQ(o->pwidth, container->Width());

    o->SetBounds(10, 10, 100, 80);
    o->Interaction = ibAll & ~ibSizeWidth;
    QTest::mousePress(o, Qt::LeftButton, {}, QPoint(98, 78));
    QTest::mouseMove(o, QPoint(130, 100));
    QTest::mouseRelease(o, Qt::LeftButton, {}, QPoint(130, 100));
    EXPECT_EQ(o->Width(), 100);
    EXPECT_EQ(o->Height(), 102);
}

TEST_F(ObjectModel, ColourThirtyChangesNothing)
{
    TDynPanel* o = Child(0, 0, 50, 50);
    o->SetColor(clRed);
    o->SetColor(NoColorChange);
    EXPECT_EQ(o->BackColor, clRed);
    EXPECT_EQ(o->PreviousColor, clWhite);
    o->SetBorderColor(NoColorChange);
    EXPECT_EQ(o->BorderColor, clBlack);
}

TEST_F(ObjectModel, PaintsBorderAndFillOnItsSurface)
{
    TDynPanel* o = Child(10, 10, 60, 40);
    o->SetColor(clBlue);
    o->SetBorderColor(clRed);
    const QImage& img = o->Background->Image();
    ASSERT_EQ(img.size(), QSize(60, 40));
    EXPECT_EQ(img.pixelColor(0, 0), QColor(Qt::red));
    EXPECT_EQ(img.pixelColor(1, 20), QColor(Qt::red));
    EXPECT_EQ(img.pixelColor(59, 39), QColor(Qt::red));
    EXPECT_EQ(img.pixelColor(30, 20), QColor(Qt::blue));
    EXPECT_EQ(img.pixelColor(2, 2), QColor(Qt::blue));
    // A double border of 5 pixels draws lines of 2 pixels with a gap in the fill colour.
    o->ToggleDoubleBorder();
    o->SetBorderWidth(5);
    EXPECT_EQ(o->InnerBorderPixels, 2);
    const QImage& d = o->Background->Image();
    EXPECT_EQ(d.pixelColor(0, 20), QColor(Qt::red));
    EXPECT_EQ(d.pixelColor(2, 20), QColor(Qt::blue));
    EXPECT_EQ(d.pixelColor(4, 20), QColor(Qt::red));
}

TEST_F(ObjectModel, TransparentObjectShowsTheContainerBehindIt)
{
    TDynPanel* o = Child(100, 100, 60, 40);
    o->SetColor(clBlue);
    o->SetTransparent(true);
    EXPECT_EQ(o->Background->Image().pixelColor(30, 20), QColor(Qt::yellow));
    EXPECT_EQ(o->Background->Image().pixelColor(0, 0), QColor(Qt::black)); // the border stays
}

TEST_F(ObjectModel, PrinterGeometryScalesByPrinterDpi)
{
    TPrinter::Get().SetPdfResolution(600);
    TDynPanel* o = Child(96, 48, 96, 96);
    QImage page(1200, 1200, QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter painter(&page);
    TCanvas canvas(&painter, TCanvasKind::Printer);
    PaintingForOutput = true;
    o->PaintTo(canvas);
    PaintingForOutput = false;
    painter.end();
    // The container is a plain object at (0, 0): the object's border starts at x = 96 * 600 / 96.
    EXPECT_EQ(o->CanvasBorder.Left, 600);
    EXPECT_EQ(o->CanvasBorder.Top, 300);
    EXPECT_EQ(o->CanvasBorder.Right, 1200);
    EXPECT_EQ(o->CanvasBorderPixels, 12); // [2 x 6.25] = [12.5]
}

TEST_F(ObjectModel, DrawAlignedTextPlacesByAlignment)
{
    QImage img(300, 50, QImage::Format_RGB32);
    img.fill(Qt::white);
    TCanvas c(&img, TCanvasKind::Surface);
    TFont f;
    f.Name = "DejaVu Sans";
    f.SetSize(10);
    c.Font = f;
    const QString text = "MMMM";
    const int w = c.TextWidth(text);
    const TRect r(100, 0, 200, 40);
    const struct { int align; int x; } cases[] = {{0, 102}, {1, 150 - w / 2}, {2, 200 - w - 4}, {7, 102}};
    for (const auto& cs : cases) {
        img.fill(Qt::white);
        TDynPanel::DrawAlignedText(c, r, bsClear, cs.align, f, text);
        c.EndPaint();
        int first = -1;
        for (int x = 0; x < img.width() && first < 0; ++x)
            for (int y = 0; y < img.height(); ++y)
                if (img.pixelColor(x, y).lightness() < 128) {
                    first = x;
                    break;
                }
        EXPECT_NEAR(first, cs.x, 2) << cs.align;
    }
}

TEST_F(ObjectModel, SelectionProtocol)
{
    TDynPanel* a = Child(0, 0, 50, 50);
    TDynPanel* b = Child(60, 0, 50, 50);
    a->Select();
    EXPECT_EQ(SelectedObject, a);
    b->PropertySet.set(3);
    b->Select();
    EXPECT_EQ(SelectedObject, b);
    EXPECT_EQ(PreviousObject, a);
    EXPECT_EQ(CurrentParent, container);
    EXPECT_EQ(CurrentList, container->Children.get());
    EXPECT_EQ(designer.handlesOn, b);
    delete b;
    EXPECT_EQ(SelectedObject, nullptr);
    EXPECT_FALSE(container->Children->Contains(b));
}
