// The graphic shapes: creation, hit tests, handle drags through the container's mouse handling,
// painting onto the container's surface and onto pages, the property operations, the record.
#include "content/DynGraphik.h"
#include "designer/BImage.h"
#include "objects/DesignerLink.h"
#include "objects/ObjectList.h"
#include "platform/MemoryStream.h"
#include "platform/Screen.h"
#include "shell/Texts.h"
#include "shell/Variable.h"
#include <QDir>
#include <QTest>
#include "tests/common/RecordingDesigner.h"
#include <gtest/gtest.h>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

namespace {
// Records what the shapes tell the designer; on each refresh during a handle drag it reads the
// values the designer shows.
// Also keeps the values the designer would show while a shape's handle is dragged.
class ShapeDesigner : public RecordingDesigner {
public:
    std::vector<TShapeDragValues> shown;
    void RefreshDesigner() override
    {
        RecordingDesigner::RefreshDesigner();
        if (TDynGraphik* g = TDynGraphik::DraggedShape())
            shown.push_back(g->DragValues);
    }
};

const QColor White(Qt::white), Black(Qt::black), Red(Qt::red), Blue(Qt::blue);

class Shapes : public testing::Test {
protected:
    void SetUp() override
    {
        InitVariables(QDir::tempPath());
        FillTextDefaults();
        TScreen::Override(96, 1280, 1024);
        SetDesignerLink(&designer);
        top = std::make_unique<QWidget>();
        top->resize(800, 600);
        DrawRect = TDrawRect{0, 0, 600, 400, 0, 0, 600, 400};
        container = new TDynRichEdit(nullptr, top.get());
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
        PaintingForOutput = false;
    }
    // A shape of the container drawn by the designer from (x1, y1) to (x2, y2).
    TDynGraphik* Make(Int32 shape, int x1, int y1, int x2, int y2)
    {
        DrawRect = TDrawRect{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2), x1, y1, x2, y2};
        auto* g = new TDynGraphik(nullptr, container, shape);
        container->Children->InsertGraphic(g);
        return g;
    }
    QColor At(int x, int y)
    {
        container->Background->Canvas().EndPaint();
        return container->Background->Image().pixelColor(x, y);
    }
    // Whether some pixel within one pixel of (x, y) has the colour (lines may fall on either
    // neighbour of the exact point).
    bool Near(int x, int y, const QColor& c)
    {
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (At(x + dx, y + dy) == c)
                    return true;
        return false;
    }
    void Drag(QPoint from, QPoint to)
    {
        QTest::mousePress(container, Qt::LeftButton, {}, from);
        QTest::mouseMove(container, (from + to) / 2);
        QTest::mouseMove(container, to);
        QTest::mouseRelease(container, Qt::LeftButton, {}, to);
    }

    ShapeDesigner designer;
    std::unique_ptr<QWidget> top;
    TDynRichEdit* container = nullptr;
};

QByteArray Entry(TObjectList& list, TComponent* object)
{
    TMemoryStream s;
    list.WriteEntry(s, object);
    return s.Data();
}
} // namespace

TEST_F(Shapes, CreationTakesTheDragAndTheShapesNameAndRows)
{
    const struct {
        Int32 shape;
        const char* name;
        int rowIn, rowOut; // a property bit the shape offers, one it does not
    } cases[] = {{gsLine, "Line", 102, 101}, {gsRectangle, "Rectangle", 5, 101},
                 {gsCircle, "Circle", 101, 5}, {gsEllipse, "Ellipse", 6, 75}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TDynGraphik* g = Make(c.shape, 40, 50, 140, 110);
        EXPECT_EQ(g->KindInfo.Code, kcGraphik);
        EXPECT_EQ(g->Name, QString::fromLatin1(c.name));
        EXPECT_EQ(g->Children->ListName, QString::fromLatin1(c.name) + "_List");
        EXPECT_TRUE(g->PropertySet.test(c.rowIn));
        EXPECT_FALSE(g->PropertySet.test(c.rowOut));
        EXPECT_EQ(g->BoundsRect(), TRect(40, 50, 140, 110));
        EXPECT_EQ(g->pwidth, 100);
        EXPECT_EQ(g->LineWidth, 1);
        EXPECT_EQ(g->LineWidthPixels, 1);
        EXPECT_EQ(g->BrushStyle, bsClear);
        EXPECT_EQ(g->BackColor, clBlack);
        EXPECT_FALSE(g->Visible());
        delete g;
    }
}

TEST_F(Shapes, LineDrawnFromBottomRightToTopLeftGoesUpLeftFromItsBoxCorner)
{
    TDynGraphik* g = Make(gsLine, 300, 200, 100, 100);
    EXPECT_EQ(g->Direction, ldUpLeft);
    EXPECT_EQ(g->BoundsRect(), TRect(300, 200, 500, 300));
    EXPECT_EQ(g->StartPoint, TPoint(300, 200));
    EXPECT_EQ(g->EndPoint, TPoint(100, 100));
    EXPECT_DOUBLE_EQ(g->Length, std::sqrt(200.0 * 200 + 100 * 100));
    EXPECT_NEAR(g->Angle, 180 - 26.565, 0.001);
    EXPECT_TRUE(Near(200, 150, Black));
    EXPECT_EQ(At(400, 250), White); // the box itself stays empty
}

TEST_F(Shapes, HitTestsGiveTheGrabCodes)
{
    TDynGraphik* line = Make(gsLine, 100, 100, 300, 200);
    TDynGraphik* rect = Make(gsRectangle, 100, 250, 300, 350);
    TDynGraphik* circle = Make(gsCircle, 400, 100, 500, 200);
    TDynGraphik* ellipse = Make(gsEllipse, 400, 250, 560, 330);
    const struct {
        TDynGraphik* shape;
        int x, y;
        Int32 code;
    } cases[] = {
        {line, 300, 200, shEndPoint}, {line, 285, 195, shEndPoint}, // within 20 of the end
        {line, 300, 221, shNone},                                    // 21 below the end
        {line, 200, 150, shWhole},    {line, 200, 154, shWhole},    // on the body, 3.6 off it
        {line, 200, 160, shNone},     {line, 92, 96, shNone},       // beside it, beyond its start
        {rect, 200, 300, shWhole},    {rect, 111, 261, shWhole},    // inside the 10-pixel margin
        {rect, 110, 300, shNone},     {rect, 200, 252, shNone},     // near the left and top edges
        {rect, 295, 300, shWidth},    {rect, 309, 300, shWidth},    // both sides of the right edge
        {rect, 310, 300, shNone},     {rect, 200, 341, shHeight},
        {rect, 200, 359, shHeight},   {rect, 200, 360, shNone},
        {rect, 300, 350, shNone},     // the corner belongs to neither edge
        {circle, 450, 150, shWhole},  {circle, 450, 111, shWhole},  // 39 from the centre
        {circle, 450, 110, shWhole},                                 // |40 - 50| is not below 10
        {circle, 450, 105, shRadius}, {circle, 450, 95, shRadius},  // 45 and 55 from the centre
        {circle, 450, 89, shNone},    {circle, 560, 150, shNone},
        {ellipse, 480, 290, shNone},  {ellipse, 400, 290, shNone},  // never grabbed
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.shape->HitTest(c.x, c.y), c.code) << c.shape->Name.toStdString() << " at " << c.x << "," << c.y;

    Int32 code = -1;
    EXPECT_EQ(TDynGraphik::FindAt(*container->Children, 200, 300, code), rect);
    EXPECT_EQ(code, shWhole);
    EXPECT_EQ(TDynGraphik::FindAt(*container->Children, 480, 290, code), nullptr);
    EXPECT_EQ(code, shNone);
    // Overlapping shapes: the first of the list that is hit wins.
    TDynGraphik* over = Make(gsRectangle, 80, 240, 320, 370);
    for (const bool overFirst : {true, false}) {
        TObjectList order;
        order.AppendUnchecked(overFirst ? over : rect);
        order.AppendUnchecked(overFirst ? rect : over);
        EXPECT_EQ(TDynGraphik::FindAt(order, 200, 300, code), overFirst ? over : rect);
        order.UnlinkAll();
    }
}

TEST_F(Shapes, DraggingALinesEndShowsLengthAndAngleAndStoresTheNewDirection)
{
    TDynGraphik* g = Make(gsLine, 100, 200, 200, 200);
    ASSERT_EQ(g->Direction, ldDownRight);

    // Up: the end moves from (200, 200) to (100, 100).
    QTest::mousePress(container, Qt::LeftButton, {}, QPoint(200, 200));
    EXPECT_EQ(container->HandleCode, shEndPoint);
    EXPECT_EQ(TDynGraphik::DraggedShape(), g);
    QTest::mouseMove(container, QPoint(150, 150));
    QTest::mouseMove(container, QPoint(100, 100));
    ASSERT_EQ(designer.shown.size(), 2u);
    EXPECT_DOUBLE_EQ(designer.shown[0].Length, std::sqrt(50.0 * 50 + 50 * 50));
    EXPECT_DOUBLE_EQ(designer.shown[0].Angle, 45);
    EXPECT_DOUBLE_EQ(designer.shown[1].Length, 100);
    EXPECT_DOUBLE_EQ(designer.shown[1].Angle, 90);
    QTest::mouseRelease(container, Qt::LeftButton, {}, QPoint(100, 100));

    EXPECT_EQ(TDynGraphik::DraggedShape(), nullptr);
    EXPECT_EQ(g->Direction, ldUpRight);
    EXPECT_EQ(g->BoundsRect(), TRect(100, 200, 100, 300));
    EXPECT_EQ(g->EndPoint, TPoint(100, 100));
    EXPECT_DOUBLE_EQ(g->Angle, 90);
    EXPECT_DOUBLE_EQ(g->Length, 100);
    EXPECT_EQ(SelectedObject, g);
    EXPECT_TRUE(Near(100, 150, Black));
    EXPECT_EQ(At(150, 200), White); // the old line is gone

    // Down: a vertical line going down has the angle 270.
    Drag(QPoint(100, 100), QPoint(100, 300));
    EXPECT_EQ(g->Direction, ldDownRight);
    EXPECT_DOUBLE_EQ(g->Angle, 270);
    EXPECT_EQ(g->EndPoint, TPoint(100, 300));
    EXPECT_EQ(g->pheight, 100);
}

TEST_F(Shapes, DraggingTheBodyMovesALineAndALockedShapeStays)
{
    TDynGraphik* g = Make(gsLine, 300, 200, 200, 150); // up-left
    Drag(QPoint(250, 175), QPoint(270, 185));
    EXPECT_EQ(g->Direction, ldUpLeft);
    EXPECT_EQ(g->StartPoint, TPoint(320, 210));
    EXPECT_EQ(g->EndPoint, TPoint(220, 160));

    g->SetpLock(true);
    Drag(QPoint(270, 185), QPoint(100, 100));
    EXPECT_EQ(g->StartPoint, TPoint(320, 210));
}

TEST_F(Shapes, DraggingACirclesRadiusHandleShowsTheRadius)
{
    TDynGraphik* g = Make(gsCircle, 100, 100, 200, 200);
    QTest::mousePress(container, Qt::LeftButton, {}, QPoint(150, 195)); // 45 from the centre
    EXPECT_EQ(container->HandleCode, shRadius);
    QTest::mouseMove(container, QPoint(190, 195));
    ASSERT_FALSE(designer.shown.empty());
    EXPECT_EQ(designer.shown.back().Radius, 70); // |240 - 100| div 2
    QTest::mouseRelease(container, Qt::LeftButton, {}, QPoint(190, 195));
    EXPECT_EQ(g->BoundsRect(), TRect(100, 100, 240, 240));
    EXPECT_DOUBLE_EQ(g->Radius, 70);

    // The width and height handles of a rectangle move only their own edge.
    TDynGraphik* r = Make(gsRectangle, 300, 100, 400, 200);
    Drag(QPoint(400, 150), QPoint(450, 170));
    EXPECT_EQ(r->BoundsRect(), TRect(300, 100, 450, 200));
    Drag(QPoint(350, 200), QPoint(330, 160));
    EXPECT_EQ(r->BoundsRect(), TRect(300, 100, 450, 160));
}

TEST_F(Shapes, ShapesPaintOntoTheContainersSurface)
{
    TDynGraphik* line = Make(gsLine, 20, 30, 220, 30);
    line->SetColor(clRed);
    EXPECT_TRUE(Near(120, 30, Red));
    line->SetLineWidth(7);
    EXPECT_EQ(line->LineWidthPixels, 7);
    EXPECT_EQ(At(120, 32), Red);
    EXPECT_EQ(At(120, 37), White);
    line->SetLineWidth(1); // the wider line does not stay behind
    EXPECT_EQ(At(120, 32), White);

    TDynGraphik* empty = Make(gsRectangle, 20, 60, 120, 140);
    TDynGraphik* filled = Make(gsRectangle, 140, 60, 240, 140);
    filled->SetColor(clBlue);
    TDynGraphik* circle = Make(gsCircle, 260, 60, 340, 140);
    circle->SetColor(clBlue);
    TDynGraphik* ellipse = Make(gsEllipse, 360, 60, 500, 140);
    ellipse->SetColor(clBlue);
    ellipse->SetBorderColor(clRed);

    EXPECT_EQ(At(20, 100), Black);  // outline
    EXPECT_EQ(At(70, 100), White);  // nothing inside
    EXPECT_EQ(At(140, 100), Black);
    EXPECT_EQ(At(190, 100), Blue);
    EXPECT_EQ(At(300, 100), Blue);  // a filled circle is filled
    EXPECT_EQ(At(430, 100), White); // a filled ellipse shows only its outline
    const QColor edge = At(360, 100);  // its outline (smoothed) in the outline colour
    EXPECT_GT(edge.red(), 150);
    EXPECT_LT(edge.blue(), 100);
    EXPECT_EQ(ellipse->BorderColor, clRed);

    // A hatched fill exchanges fill and outline colour: red hatch lines on blue.
    filled->SetFillStyle(bsCross, true);
    filled->SetBorderColor(clRed);
    int red = 0, blue = 0;
    for (int y = 70; y < 130; ++y)
        for (int x = 150; x < 230; ++x) {
            red += At(x, y) == Red;
            blue += At(x, y) == Blue;
        }
    EXPECT_GT(red, 0);
    EXPECT_GT(blue, red);

    // Dashed: some pixels of the line are left out.
    empty->SetLineType(psDash);
    int gaps = 0;
    for (int x = 22; x < 118; ++x)
        gaps += At(x, 60) == White;
    EXPECT_GT(gaps, 10);
}

TEST_F(Shapes, OnAPageTheShapeIsPlacedByTheContainersOffsetAndHitTestsStayOnTheSurface)
{
    container->pleft = 40;
    container->ptop = 25;
    TDynGraphik* g = Make(gsLine, 100, 100, 200, 50); // up-right
    g->SetLineWidth(3);
    QImage page(800, 600, QImage::Format_RGB32);
    page.fill(Qt::white);
    {
        TCanvas canvas(&page, TCanvasKind::Page);
        PaintingForOutput = true;
        g->PaintTo(canvas);
        PaintingForOutput = false;
    }
    EXPECT_EQ(page.pixelColor(190, 100), Black); // midpoint (150, 75) moved by (40, 25)
    EXPECT_EQ(page.pixelColor(150, 75), White);
    EXPECT_EQ(g->StartPoint, TPoint(100, 100));
    EXPECT_EQ(g->EndPoint, TPoint(200, 50));
    EXPECT_EQ(g->HitTest(200, 50), shEndPoint);
}

TEST_F(Shapes, PropertyOperations)
{
    TDynGraphik* line = Make(gsLine, 100, 200, 200, 200);
    line->SetAngle(90);
    EXPECT_EQ(line->Direction, ldUpRight);
    EXPECT_EQ(line->BoundsRect(), TRect(100, 200, 100, 300));
    EXPECT_EQ(line->EndPoint, TPoint(100, 100));
    line->SetAngle(180);
    EXPECT_EQ(line->EndPoint, TPoint(0, 200));
    line->SetAngle(90);
    line->SetLength(50); // a vertical line has no width and takes the length all the same
    EXPECT_EQ(line->EndPoint, TPoint(100, 150));
    line->SetAngle(30);
    EXPECT_EQ(line->pwidth, 43);
    EXPECT_EQ(line->pheight, 25);
    EXPECT_EQ(line->Direction, ldUpRight);
    line->SetAngle(200);
    EXPECT_EQ(line->Direction, ldDownLeft);
    EXPECT_EQ(line->EndPoint, TPoint(100 - 47, 200 + 17));
    line->SetAngle(450); // a whole turn more is the same direction
    EXPECT_EQ(line->Direction, ldUpRight);
    EXPECT_EQ(line->EndPoint, TPoint(100, 150));

    TDynGraphik* circle = Make(gsCircle, 100, 100, 200, 200);
    ASSERT_DOUBLE_EQ(circle->Radius, 50);
    circle->SetRadius(30);
    EXPECT_EQ(circle->pwidth, 60);
    EXPECT_EQ(circle->pheight, 60);
    EXPECT_EQ(circle->ptop, 110); // [(50 - 30) x 0.5 + 100]
    EXPECT_DOUBLE_EQ(circle->Radius, 30);
    circle->Setpleft(300); // X and Y of a circle are its centre
    circle->Setptop(250);
    EXPECT_EQ(circle->BoundsRect(), TRect(270, 220, 330, 280));

    // Values out of range, and anything on a locked shape, change nothing.
    const auto unchanged = [](TDynGraphik* g, const std::function<void()>& op, const char* what) {
        const TRect before = g->BoundsRect();
        const Int32 dir = g->Direction, width = g->LineWidth, type = g->LineType;
        op();
        EXPECT_EQ(g->BoundsRect(), before) << what;
        EXPECT_EQ(g->Direction, dir) << what;
        EXPECT_EQ(g->LineWidth, width) << what;
        EXPECT_EQ(g->LineType, type) << what;
    };
    unchanged(circle, [&] { circle->SetRadius(0); }, "radius 0");
    unchanged(circle, [&] { circle->SetRadius(-4); }, "negative radius");
    unchanged(line, [&] { line->SetLength(0); }, "length 0");
    unchanged(line, [&] { line->SetLength(std::nan("")); }, "length NaN");
    unchanged(line, [&] { line->SetAngle(-1); }, "negative angle");
    unchanged(line, [&] { line->SetLineWidth(-1); }, "negative line width");
    unchanged(line, [&] { line->SetLineType(5); }, "unknown line type");
    unchanged(line, [&] { line->SetRadius(20); }, "radius of a line");
    unchanged(circle, [&] { circle->Setpleft(0); }, "X of 0");
    line->SetpLock(true);
    circle->SetpLock(true);
    unchanged(circle, [&] { circle->SetRadius(10); }, "locked radius");
    unchanged(line, [&] { line->SetLength(80); }, "locked length");
    unchanged(line, [&] { line->SetAngle(10); }, "locked angle");
    unchanged(circle, [&] { circle->Setptop(40); }, "locked Y");
}

TEST_F(Shapes, ZoomScalesBoundsAndPenWidth)
{
    TDynGraphik* g = Make(gsRectangle, 10, 20, 110, 70);
    g->SetLineWidth(3);
    ZoomFactor = 2.0;
    g->ApplyZoom(2.0);
    EXPECT_EQ(g->BoundsRect(), TRect(20, 40, 220, 140));
    EXPECT_EQ(g->LineWidthPixels, 6);
    ZoomFactor = 0.5;
    g->ApplyZoom(0.5);
    g->SetLineWidth(1); // [0.5] is 0 pixels; the logical width stays 1
    g->StoreLogicalBounds();
    EXPECT_EQ(g->LineWidthPixels, 0);
    EXPECT_EQ(g->LineWidth, 1);
}

TEST_F(Shapes, RecordRoundTripsByteForByte)
{
    TDynGraphik* g = Make(gsLine, 100, 200, 160, 120); // up-right
    g->SetLineWidth(4);
    g->SetLineType(psDashDot);
    g->SetColor(clRed);
    g->SetBorderColor(clBlue);
    ASSERT_EQ(g->Direction, ldUpRight);
    TObjectList list;
    const QByteArray saved = Entry(list, g);

    // The designer's last drag went elsewhere; the line keeps the direction of its record.
    DrawRect = TDrawRect{0, 0, 50, 50, 50, 50, 0, 0};
    CurrentParent = container;
    TMemoryStream in;
    in.WriteBytes(saved);
    in.SetPosition(0);
    std::unique_ptr<TComponent> loaded(list.ReadEntry(in));
    auto* h = dynamic_cast<TDynGraphik*>(loaded.get());
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(in.Position(), in.Size());
    EXPECT_EQ(h->Shape, gsLine);
    EXPECT_EQ(h->Direction, ldUpRight);
    EXPECT_EQ(h->Name, QStringLiteral("Line"));
    EXPECT_EQ(h->LineWidth, 4);
    EXPECT_EQ(h->LineType, psDashDot);
    EXPECT_EQ(h->BackColor, clRed);
    EXPECT_EQ(h->OutlineColor, clBlue);
    EXPECT_EQ(h->BoundsRect(), g->BoundsRect());
    EXPECT_EQ(h->EndPoint, TPoint(160, 120));
    EXPECT_TRUE(h->PropertySet.test(103));

    EXPECT_EQ(Entry(list, h).toHex(' '), saved.toHex(' '));
}

TEST_F(Shapes, ARecordWithAnUnknownShapeOrLineWidthIsRefused)
{
    TDynGraphik* g = Make(gsRectangle, 10, 10, 60, 60);
    TObjectList list;
    const QByteArray saved = Entry(list, g);
    // The own fields close the record: shape, line width, line type, direction, colour
    // (Int32 each), then radius, angle and length (Double each).
    const qsizetype shapeAt = saved.size() - 5 * 4 - 3 * 8;
    CurrentParent = container;
    const struct {
        qsizetype at;
        Int32 value;
    } cases[] = {{shapeAt, 9}, {shapeAt, -1}, {shapeAt + 4, -2}, {shapeAt + 4, 1'000'000}};
    for (const auto& c : cases) {
        QByteArray bad = saved;
        std::memcpy(bad.data() + c.at, &c.value, 4);
        TMemoryStream in;
        in.WriteBytes(bad);
        in.SetPosition(0);
        const auto before = container->findChildren<TDynGraphik*>().size();
        EXPECT_THROW(list.ReadEntry(in), EStreamError) << c.value;
        EXPECT_EQ(container->findChildren<TDynGraphik*>().size(), before); // the half-read shape is gone
    }
}

TEST_F(Shapes, ANewShapeGoesBeforeTheLastShapeOfTheList)
{
    TObjectList list;
    auto label = [&] {
        auto* p = new TDynPanel(nullptr, container);
        list.Add(p);
        return p;
    };
    auto shape = [&] {
        DrawRect = TDrawRect{0, 0, 10, 10, 0, 0, 10, 10};
        return new TDynGraphik(nullptr, container, gsRectangle);
    };
    TDynGraphik* first = shape();
    list.InsertGraphic(first); // no shape yet: at the front
    EXPECT_EQ(list.IndexOf(first), 0);
    list.Unlink(first);
    first->OwnerList = nullptr;

    TDynPanel* l1 = label();
    TDynGraphik* a = shape();
    list.Add(a);
    TDynPanel* l2 = label();
    list.InsertGraphic(first);
    EXPECT_EQ(list.All(), (std::vector<TComponent*>{l1, first, a, l2}));
    EXPECT_EQ(list.LastAdded, first);
    EXPECT_EQ(first->OwnerList, &list);
}
