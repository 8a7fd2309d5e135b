#include "objects/BorderSides.h"
#include "objects/Borderdraw.h"
#include "objects/MovePanel.h"
#include "objects/RahmenRect.h"
#include "objects/ResizingPanel.h"
#include "platform/Canvas.h"
#include "shell/Variable.h"
#include <QImage>
#include <QMouseEvent>
#include <QTest>
#include <gtest/gtest.h>
#include <array>
#include <string>

namespace {

// ---- border painter: layout ----

struct SidesCase {
    int Code;
    const char* Sides; // the sides that carry the border: any of "LTRB"
    TRect InnerLeft, InnerTop, InnerRight, InnerBottom;
    TRect Fill;
};

// Width 6, double border, on (0, 0, 100, 50): stripes are 2 pixels wide, 2 pixels in from
// each edge; a stripe that meets a side without border runs out to the edge.
constexpr TRect IL{2, 2, 4, 48}, IT{2, 2, 98, 4}, IR{96, 2, 98, 48}, IB{2, 46, 98, 48};
const SidesCase SidesCases[] = {
    {0, "", IL, IT, IR, IB, {0, 0, 100, 50}},
    {1, "T", IL, {0, 2, 100, 4}, IR, IB, {0, 6, 100, 50}},
    {2, "B", IL, IT, IR, {0, 46, 100, 48}, {0, 0, 100, 44}},
    {3, "TB", IL, {0, 2, 100, 4}, IR, {0, 46, 100, 48}, {0, 6, 100, 44}},
    {4, "LTRB", IL, IT, IR, IB, {6, 6, 94, 44}},
    {5, "L", {2, 0, 4, 50}, IT, IR, IB, {6, 0, 100, 50}},
    {6, "R", IL, IT, {96, 0, 98, 50}, IB, {0, 0, 94, 50}},
    {7, "LR", {2, 0, 4, 50}, IT, {96, 0, 98, 50}, IB, {6, 0, 94, 50}},
    {8, "LTR", {2, 2, 4, 50}, IT, {96, 2, 98, 50}, IB, {6, 6, 94, 50}},
    {9, "LRB", {2, 0, 4, 48}, IT, {96, 0, 98, 48}, IB, {6, 0, 94, 44}},
    {10, "TRB", IL, {0, 2, 98, 4}, IR, {0, 46, 98, 48}, {0, 6, 94, 44}},
    {11, "LTB", IL, {2, 2, 100, 4}, IR, {2, 46, 100, 48}, {6, 6, 100, 44}},
    {12, "", IL, IT, IR, IB, {0, 0, 100, 50}},
    {-1, "", IL, IT, IR, IB, {0, 0, 100, 50}},
};

bool Has(const char* sides, char side)
{
    return std::string(sides).find(side) != std::string::npos;
}

TEST(BorderDraw, DoubleBorderLayoutForEverySidesCode)
{
    for (const SidesCase& c : SidesCases) {
        SCOPED_TRACE("code " + std::to_string(c.Code));
        TBorderDraw d;
        d.Setup(true, c.Code);
        const TRect fill = d.Layout(6, 0, 0, 100, 50);
        EXPECT_EQ(fill, c.Fill);
        EXPECT_EQ(d.LineWidth, 6);
        EXPECT_EQ(d.InnerWidth, 2);

        EXPECT_EQ(d.OuterLeft.Rect(), TRect(0, 0, 6, 50));
        EXPECT_EQ(d.OuterTop.Rect(), TRect(0, 0, 100, 6));
        EXPECT_EQ(d.OuterRight.Rect(), TRect(94, 0, 100, 50));
        EXPECT_EQ(d.OuterBottom.Rect(), TRect(0, 44, 100, 50));
        EXPECT_EQ(d.InnerLeft.Rect(), c.InnerLeft);
        EXPECT_EQ(d.InnerTop.Rect(), c.InnerTop);
        EXPECT_EQ(d.InnerRight.Rect(), c.InnerRight);
        EXPECT_EQ(d.InnerBottom.Rect(), c.InnerBottom);

        const std::array<std::pair<char, TSide>, 4> sides{{{'L', sLeft}, {'T', sTop}, {'R', sRight}, {'B', sBottom}}};
        const std::array<const TBorderRect*, 4> outer{&d.OuterLeft, &d.OuterTop, &d.OuterRight, &d.OuterBottom};
        const std::array<const TBorderRect*, 4> inner{&d.InnerLeft, &d.InnerTop, &d.InnerRight, &d.InnerBottom};
        for (size_t k = 0; k < 4; ++k) {
            const bool expected = Has(c.Sides, sides[k].first);
            EXPECT_EQ(SideHasBorder(c.Code, sides[k].second), expected) << sides[k].first;
            EXPECT_EQ(outer[k]->Visible, expected) << "outer " << sides[k].first;
            EXPECT_EQ(inner[k]->Visible, expected) << "inner " << sides[k].first;
        }
    }
}

TEST(BorderDraw, SingleBorderHidesTheStripesAndLeavesThemUnplaced)
{
    TBorderDraw d;
    d.Setup(false, 4);
    EXPECT_EQ(d.Layout(6, 10, 20, 110, 70), TRect(16, 26, 104, 64));
    EXPECT_TRUE(d.OuterLeft.Visible && d.OuterTop.Visible && d.OuterRight.Visible && d.OuterBottom.Visible);
    EXPECT_FALSE(d.InnerLeft.Visible || d.InnerTop.Visible || d.InnerRight.Visible || d.InnerBottom.Visible);
    EXPECT_EQ(d.OuterRight.Rect(), TRect(104, 20, 110, 70));
    EXPECT_EQ(d.OuterBottom.Rect(), TRect(10, 64, 110, 70));
}

TEST(BorderDraw, InnerWidthIsAThirdFromThreePixelsOn)
{
    // Below 3 the stripe is as wide as the whole line, so it lies inside the fill area.
    const std::array<std::pair<int, int>, 8> cases{{{0, 0}, {1, 1}, {2, 2}, {3, 1}, {4, 1}, {5, 2}, {8, 3}, {9, 3}}};
    for (const auto& [width, inner] : cases) {
        TBorderDraw d;
        d.Setup(true, 4);
        const TRect fill = d.Layout(width, 0, 0, 100, 50);
        EXPECT_EQ(d.InnerWidth, inner) << "width " << width;
        EXPECT_EQ(fill, TRect(width, width, 100 - width, 50 - width)) << "width " << width;
    }
    TBorderDraw d;
    d.Setup(true, 4);
    const TRect fill = d.Layout(2, 0, 0, 100, 50);
    EXPECT_EQ(d.InnerLeft.Rect(), TRect(2, 2, 4, 48));
    EXPECT_EQ(d.InnerTop.Rect(), TRect(2, 2, 98, 4));
    EXPECT_EQ(fill, TRect(2, 2, 98, 48));
}

// ---- border painter: pixels ----

QColor At(const QImage& img, int x, int y)
{
    return img.pixelColor(x, y);
}

TEST(BorderDraw, DrawPaintsLinesInBorderColourAndTheGapInBackColour)
{
    const QColor red(Qt::red), yellow(Qt::yellow), white(Qt::white);
    QImage img(100, 50, QImage::Format_RGB32);
    img.fill(Qt::white);
    {
        TCanvas canvas(&img, TCanvasKind::Surface);
        canvas.Brush.Style = bsBDiagonal;
        TBorderDraw d;
        d.Setup(true, 4);
        d.Layout(6, 0, 0, 100, 50);
        d.Draw(canvas, clYellow, clRed);
        EXPECT_EQ(canvas.Brush.Color, clYellow);
        EXPECT_EQ(canvas.Brush.Style, bsBDiagonal);
    }
    // Across the left line: 2 border, 2 gap, 2 border, then the untouched inside.
    const QColor leftRow[] = {red, red, yellow, yellow, red, red, white};
    for (int x = 0; x < 7; ++x)
        EXPECT_EQ(At(img, x, 25), leftRow[x]) << "x " << x;
    const QColor bottomColumn[] = {white, red, red, yellow, yellow, red, red};
    for (int k = 0; k < 7; ++k)
        EXPECT_EQ(At(img, 50, 43 + k), bottomColumn[k]) << "y " << 43 + k;
    EXPECT_EQ(At(img, 0, 0), red);
    EXPECT_EQ(At(img, 3, 3), yellow);   // the stripes meet in the corner
    EXPECT_EQ(At(img, 97, 25), yellow); // right stripe
    EXPECT_EQ(At(img, 95, 25), red);

    // Top only: the stripe runs out to both edges, no other side is painted.
    img.fill(Qt::white);
    {
        TCanvas canvas(&img, TCanvasKind::Surface);
        TBorderDraw d;
        d.Setup(true, 1);
        d.Layout(6, 0, 0, 100, 50);
        d.Draw(canvas, clYellow, clRed);
    }
    EXPECT_EQ(At(img, 0, 3), yellow);
    EXPECT_EQ(At(img, 99, 3), yellow);
    EXPECT_EQ(At(img, 0, 0), red);
    EXPECT_EQ(At(img, 0, 25), white);
    EXPECT_EQ(At(img, 99, 25), white);
    EXPECT_EQ(At(img, 50, 49), white);
}

// ---- frame rectangles ----

class RahmenRectTest : public testing::Test {
protected:
    void SetUp() override
    {
        savedZoom_ = ZoomFactor;
        savedKeep_ = KeepLogicalValues;
        ZoomFactor = 1.0;
        KeepLogicalValues = false;
    }
    void TearDown() override
    {
        ZoomFactor = savedZoom_;
        KeepLogicalValues = savedKeep_;
    }

private:
    double savedZoom_ = 1.0;
    bool savedKeep_ = false;
};

TEST_F(RahmenRectTest, StartsAsAHundredPixelSquareInItsOwnersRegistry)
{
    TComponent owner;
    TRahmenRect r(&owner);
    EXPECT_EQ(r.PixelRect(), TRect(0, 0, 100, 100));
    EXPECT_EQ(r.Width, 100);
    EXPECT_EQ(r.Height, 100);
    EXPECT_EQ(owner.ComponentCount(), 1);
    EXPECT_EQ(owner.Components(0), &r);
}

TEST_F(RahmenRectTest, SetBoundsDerivesRightAndBottom)
{
    TRahmenRect r;
    r.SetBounds(7, 9, 30, 40);
    EXPECT_EQ(r.PixelRect(), TRect(7, 9, 37, 49));
    EXPECT_EQ(r.Width, 30);
    EXPECT_EQ(r.Height, 40);
}

TEST_F(RahmenRectTest, StoreLogicalRoundsEachValueHalfToEven)
{
    struct Case {
        double Zoom;
        TRect Pixels;
        TRect Logical;
        int Width, Height;
    };
    const Case cases[] = {
        {2.0, {0, 0, 101, 51}, {0, 0, 50, 26}, 50, 26},
        // Each value from its own pixel value: the logical width is not right minus left.
        {2.0, {3, 5, 101, 51}, {2, 2, 50, 26}, 49, 23},
        {1.5, {16, 31, 61, 91}, {11, 21, 41, 61}, 30, 40},
        {1.0, {-4, 3, 10, 8}, {-4, 3, 10, 8}, 14, 5},
    };
    for (const Case& c : cases) {
        ZoomFactor = c.Zoom;
        TRahmenRect r;
        r.SetRect(c.Pixels);
        EXPECT_EQ(r.PixelRect(), c.Pixels);
        EXPECT_EQ(r.Width, c.Pixels.Width());
        EXPECT_EQ(r.LogicalRect(), c.Logical) << "zoom " << c.Zoom;
        EXPECT_EQ(r.LogicalWidth, c.Width) << "zoom " << c.Zoom;
        EXPECT_EQ(r.LogicalHeight, c.Height) << "zoom " << c.Zoom;
    }
}

TEST_F(RahmenRectTest, KeepLogicalValuesAndAnUnusableZoomLeaveTheLogicalRectangle)
{
    TRahmenRect r;
    r.SetLogicalRect(TRect(1, 2, 31, 42));
    const std::array<std::pair<bool, double>, 3> cases{{{true, 2.0}, {false, 0.0}, {false, -1.0}}};
    for (const auto& [keep, zoom] : cases) {
        KeepLogicalValues = keep;
        ZoomFactor = zoom;
        r.SetRect(TRect(10, 20, 110, 220));
        EXPECT_EQ(r.PixelRect(), TRect(10, 20, 110, 220));
        EXPECT_EQ(r.LogicalRect(), TRect(1, 2, 31, 42)) << "keep " << keep << " zoom " << zoom;
        EXPECT_EQ(r.LogicalWidth, 30);
        EXPECT_EQ(r.LogicalHeight, 40);
    }
}

TEST_F(RahmenRectTest, ScaleBuildsThePixelRectangleFromTheLogicalOne)
{
    struct Case {
        double Factor;
        TRect Pixels;
    };
    const Case cases[] = {
        {1.0, {10, 5, 60, 30}},
        {1.5, {15, 8, 90, 46}}, // top 7.5 -> 8, height 37.5 -> 38
        {0.5, {5, 2, 30, 14}},  // top 2.5 -> 2, height 12.5 -> 12
        {2.0, {20, 10, 120, 60}},
    };
    for (const Case& c : cases) {
        TRahmenRect r;
        r.SetLogicalRect(TRect(10, 5, 60, 30));
        r.Scale(c.Factor);
        EXPECT_EQ(r.PixelRect(), c.Pixels) << "factor " << c.Factor;
        EXPECT_EQ(r.Width, c.Pixels.Width());
        EXPECT_EQ(r.Height, c.Pixels.Height());
        EXPECT_EQ(r.LogicalRect(), TRect(10, 5, 60, 30)); // scaling never touches the logical values
    }
}

// ---- handles ----

class MouseCounter : public QWidget {
public:
    int Presses = 0;
    int Releases = 0;

protected:
    void mousePressEvent(QMouseEvent* e) override
    {
        ++Presses;
        e->accept();
    }
    void mouseReleaseEvent(QMouseEvent* e) override
    {
        ++Releases;
        e->accept();
    }
};

TEST(MovePanel, IsAHiddenNavySquareThatLeavesTheMouseToItsParent)
{
    TComponent designer;
    MouseCounter parent;
    parent.resize(200, 200);
    parent.show();
    TMovePanel handle(&designer, &parent, 5);
    EXPECT_EQ(handle.Index, 5);
    EXPECT_TRUE(handle.isHidden());
    EXPECT_EQ(handle.Color(), clNavy);
    EXPECT_EQ(handle.Width(), 6);
    EXPECT_EQ(handle.Height(), 6);
    EXPECT_EQ(handle.Parent(), &parent);
    EXPECT_EQ(handle.Owner(), &designer);

    handle.SetBounds(40, 40, 6, 6);
    handle.show();
    QTest::mousePress(&handle, Qt::LeftButton, {}, QPoint(3, 3));
    QTest::mouseRelease(&handle, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_EQ(parent.Presses, 1);
    EXPECT_EQ(parent.Releases, 1);
}

// ---- the text editor's host panel ----

TEST(ResizingPanel, DragMovesByTheMouseOffsetAlongTheAllowedAxes)
{
    struct Case {
        quint8 Interaction;
        QPoint Where;
        bool LeftChanged, TopChanged;
    };
    const Case cases[] = {
        {15, {70, 55}, true, true},
        {13, {70, 40}, true, false}, // bit 1 cleared: horizontal only
        {14, {50, 55}, false, true}, // bit 0 cleared: vertical only
        {12, {50, 40}, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("interaction " + std::to_string(c.Interaction));
        QWidget editor;
        editor.resize(400, 300);
        editor.show();
        TResizingPanel panel(nullptr, &editor);
        EXPECT_EQ(panel.Interaction, 15);
        panel.Interaction = c.Interaction;
        panel.SetBounds(50, 40, 100, 80);
        panel.show();

        QTest::mousePress(&panel, Qt::LeftButton, {}, QPoint(10, 10));
        EXPECT_TRUE(panel.Moving);
        QTest::mouseMove(&panel, QPoint(30, 25));
        QTest::mouseRelease(&panel, Qt::LeftButton, {}, QPoint(10, 10));

        EXPECT_EQ(panel.pos(), c.Where);
        EXPECT_FALSE(panel.Moving);
        EXPECT_EQ(panel.LeftChanged, c.LeftChanged);
        EXPECT_EQ(panel.TopChanged, c.TopChanged);
        EXPECT_EQ(panel.TakeChangedFlags(), c.LeftChanged || c.TopChanged);
        EXPECT_FALSE(panel.LeftChanged || panel.TopChanged);
        EXPECT_EQ(panel.size(), QSize(100, 80)); // the mouse never resizes it
    }
}

TEST(ResizingPanel, OnlyTheLeftButtonDrags)
{
    QWidget editor;
    editor.resize(400, 300);
    editor.show();
    TResizingPanel panel(nullptr, &editor);
    panel.SetBounds(50, 40, 100, 80);
    panel.show();
    QTest::mousePress(&panel, Qt::RightButton, {}, QPoint(10, 10));
    QTest::mouseMove(&panel, QPoint(30, 25));
    QTest::mouseRelease(&panel, Qt::RightButton, {}, QPoint(30, 25));
    EXPECT_EQ(panel.pos(), QPoint(50, 40));
    EXPECT_FALSE(panel.TakeChangedFlags());
}

TEST(ResizingPanel, PlaceControlUsesTheLogicalFrame)
{
    QWidget editor;
    TResizingPanel panel(nullptr, &editor);
    TRahmenRect frame;
    frame.SetBounds(0, 0, 500, 500); // pixel values play no part
    frame.SetLogicalRect(TRect(10, 20, 110, 70));
    panel.PlaceControl(frame); // nothing hosted yet: nothing happens

    QWidget control(&panel);
    control.setGeometry(1, 1, 5, 5);
    panel.Control = &control;
    panel.PlaceControl(frame);
    EXPECT_EQ(control.geometry(), QRect(10, 20, 100, 50));
}

} // namespace
