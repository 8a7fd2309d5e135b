// The designer's aids: the three picture pickers of the property panel, the rulers beside the
// form and the help-line guides with their lines through header and footer.
#include "content/DynMarginPanel.h"
#include "content/GridLine.h"
#include "content/Header.h"
#include "content/Lineal.h"
#include "designer/BImage.h"
#include "designer/BorderImage.h"
#include "designer/BrushStyleImage.h"
#include "designer/Objectgenerator.h"
#include "designer/PickerWindow.h"
#include "designer/PositionImage.h"
#include "objects/DynDBForm.h"
#include "objects/ObjectList.h"
#include "objects/RScrollBox.h"
#include "platform/Dialogs.h"
#include "platform/Printer.h"
#include "platform/Screen.h"
#include "shell/OstrevoReportGenerator.h"
#include "shell/Variable.h"
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <functional>
#include <memory>

namespace {

// The fallback page (A4 at 180 dpi) at 96 pixels per inch: a form of 794 x 1122 pixels whose
// content frame starts 18 pixels in.
class AidsOnForm : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        InitVariables(dir.path() + '/');
        FillTextDefaults();
        TScreen::Override(96, 1280, 1024);
        TPrinter::Get().Reset();
        TScriptedDialogs quiet; // the no-printer warning is not what these tests are about
        TakePrinterMetricsWith(quiet);
        top = std::make_unique<QWidget>();
        top->resize(1000, 800);
        tab = new TFormTab(top.get());
        tab->resize(1000, 800);
        form = new TDynDBForm(nullptr, tab);
        form->SetPageGeometry(PrintMargins);
        form->UpdateLayout();
        form->show();
        top->show();
        CurrentForm = form;
        // The millimetre routines use the copies a form takes of the screen's pixels per mm.
        FormPixelsPerMmX = PixelsPerMmX;
        FormPixelsPerMmY = PixelsPerMmY;
    }
    void TearDown() override
    {
        TDynMarginPanel::FreeHelpLines(guides, lines);
        TLineal::FreeRulers(rulers, nullptr);
        SelectedObject = nullptr;
        CurrentForm = nullptr;
        AllLocked = false;
        delete form;
        top.reset();
        TScreen::ClearOverride();
        TPrinter::Get().Reset();
    }
    // A selected object on the form that may be docked.
    TDynPanel* SelectedChild()
    {
        DrawRect = TDrawRect{0, 0, 0, 0, 200, 300, 320, 360};
        auto* o = new TDynPanel(nullptr, form);
        form->Children->Add(o);
        o->PropertySet.set(PositionRowBit);
        o->UpdateLayout();
        o->show();
        SelectedObject = o;
        return o;
    }
    // Runs the picker window of a row; drive gets the picker image while the window is open.
    void WithPicker(TPickerKind kind, const std::function<void(TPickerImage&)>& drive)
    {
        ScriptedDialogs()->QueueModal([&](QDialog& window) {
            auto* picker = window.findChild<TPickerImage*>();
            EXPECT_NE(picker, nullptr);
            if (picker)
                drive(*picker);
            return int(QDialog::Accepted);
        });
        TPickerWindow::Open(kind);
    }

    QTemporaryDir dir;
    std::unique_ptr<QWidget> top;
    TFormTab* tab = nullptr;
    TDynDBForm* form = nullptr;
    std::array<TLineal*, 2> rulers{};
    std::array<TDynMarginPanel*, 4> guides{};
    std::array<TGridLine*, 4> lines{};
};

QColor At(const QImage& image, int x, int y)
{
    return image.pixelColor(x, y);
}

// ---- pickers ----

TEST_F(AidsOnForm, PickerClickAppliesItsCellValueToTheSelectedObjectAtOnce)
{
    TDynPanel* o = SelectedChild();
    struct Click {
        TPickerKind kind;
        QPoint at;
        int expected; // brush style, docking value or border code after the click
    };
    const Click clicks[] = {
        {TPickerKind::FillStyle, {50, 10}, bsSolid},
        {TPickerKind::FillStyle, {90, 10}, bsHorizontal},
        {TPickerKind::FillStyle, {120, 10}, bsVertical},
        {TPickerKind::FillStyle, {10, 50}, bsFDiagonal},
        {TPickerKind::FillStyle, {50, 77}, bsBDiagonal}, // y < 78 is still row 1
        {TPickerKind::FillStyle, {109, 50}, bsCross},    // x < 110 is still column 2
        {TPickerKind::FillStyle, {110, 50}, bsDiagCross},
        {TPickerKind::FillStyle, {10, 90}, bsClear},
        {TPickerKind::FillStyle, {50, 90}, bsClear},     // row 2, column 1 changes nothing
        {TPickerKind::FillStyle, {140, 100}, bsClear},
        {TPickerKind::Position, {10, 10}, 0},
        {TPickerKind::Position, {50, 10}, 1},
        {TPickerKind::Position, {80, 10}, 3},            // right
        {TPickerKind::Position, {120, 10}, 2},           // left
        {TPickerKind::Position, {10, 50}, 4},
        {TPickerKind::Position, {50, 50}, 5},
        {TPickerKind::Position, {90, 100}, 6},           // below row 1 counts as row 1
        {TPickerKind::Position, {120, 50}, 7},
        {TPickerKind::BorderSides, {10, 10}, 0},
        {TPickerKind::BorderSides, {35, 35}, 0},
        {TPickerKind::BorderSides, {36, 36}, 5},
        {TPickerKind::BorderSides, {120, 10}, 3},
        {TPickerKind::BorderSides, {50, 90}, 9},
        {TPickerKind::BorderSides, {149, 105}, 11},
    };
    auto valueOf = [o](TPickerKind kind) {
        switch (kind) {
        case TPickerKind::FillStyle: return int(o->BrushStyle);
        case TPickerKind::Position: return int(o->Docking);
        case TPickerKind::BorderSides: return int(o->BorderSides);
        }
        return -1;
    };
    for (TPickerKind kind : {TPickerKind::FillStyle, TPickerKind::Position, TPickerKind::BorderSides}) {
        WithPicker(kind, [&](TPickerImage& picker) {
            EXPECT_EQ(picker.size(), QSize(150, 106));
            for (const Click& c : clicks) {
                if (c.kind != kind)
                    continue;
                QTest::mouseClick(&picker, Qt::LeftButton, {}, c.at);
                EXPECT_EQ(valueOf(kind), c.expected) << "click at " << c.at.x() << ", " << c.at.y();
            }
        });
    }
    EXPECT_FALSE(o->Hatched);
}

TEST_F(AidsOnForm, DockingPickerLaysTheObjectOutAndOtherButtonsChangeNothing)
{
    TDynPanel* o = SelectedChild();
    o->SetBorderSides(4);
    const TRect cf = form->ContentFrame->PixelRect();
    WithPicker(TPickerKind::Position, [&](TPickerImage& picker) {
        QTest::mouseClick(&picker, Qt::LeftButton, {}, QPoint(120, 10)); // left
        EXPECT_EQ(o->Docking, 2);
        EXPECT_EQ(o->BoundsRect(), TRect(cf.Left, cf.Top, cf.Left + 120, cf.Bottom));
        QTest::mouseClick(&picker, Qt::RightButton, {}, QPoint(10, 10));
        EXPECT_EQ(o->Docking, 2);
    });
    WithPicker(TPickerKind::BorderSides, [&](TPickerImage& picker) {
        QTest::mouseClick(&picker, Qt::RightButton, {}, QPoint(50, 90));
        EXPECT_EQ(o->BorderSides, 4);
    });
    WithPicker(TPickerKind::FillStyle, [&](TPickerImage& picker) {
        QTest::mouseClick(&picker, Qt::MiddleButton, {}, QPoint(90, 10));
        EXPECT_EQ(o->BrushStyle, 0);
    });
    // Without a selected object a click does nothing at all.
    SelectedObject = nullptr;
    WithPicker(TPickerKind::Position, [&](TPickerImage& picker) {
        QTest::mouseClick(&picker, Qt::LeftButton, {}, QPoint(10, 10));
    });
    EXPECT_EQ(o->Docking, 2);
}

TEST_F(AidsOnForm, InversClickedTwiceRestoresTheLook)
{
    TDynPanel* o = SelectedChild();
    o->SetFillStyle(bsCross, false);
    const QImage before = o->Background->Image().copy();
    WithPicker(TPickerKind::FillStyle, [&](TPickerImage& picker) {
        QTest::mouseClick(&picker, Qt::LeftButton, {}, QPoint(10, 10));
        EXPECT_TRUE(o->Hatched);
        EXPECT_EQ(o->BrushStyle, bsCross);
        EXPECT_NE(o->Background->Image(), before);
        QTest::mouseClick(&picker, Qt::LeftButton, {}, QPoint(10, 10));
    });
    EXPECT_FALSE(o->Hatched);
    EXPECT_EQ(o->BrushStyle, bsCross);
    EXPECT_EQ(o->Background->Image(), before);
}

TEST_F(AidsOnForm, ValueCellSamplesShowTheObjectsCurrentValue)
{
    TDynPanel* o = SelectedChild();
    QImage cell(94, 15, QImage::Format_RGB32);
    auto paint = [&](const std::function<void(QPainter&)>& f) {
        cell.fill(Qt::green);
        QPainter p(&cell);
        f(p);
    };
    const QRect r(0, 0, 94, 15);
    // The sample is a square as high as the cell at its left; the rest stays untouched.
    o->SetFillStyle(bsSolid, false);
    paint([&](QPainter& p) { TBrushStyleImage::PaintSample(p, r, *o); });
    EXPECT_EQ(At(cell, 7, 7), QColor(Qt::black));
    EXPECT_EQ(At(cell, 20, 7), QColor(Qt::green));
    o->SetFillStyle(bsClear, false);
    paint([&](QPainter& p) { TBrushStyleImage::PaintSample(p, r, *o); });
    EXPECT_EQ(At(cell, 7, 7), QColor(Qt::white));

    o->SetBorderSides(1); // top only
    paint([&](QPainter& p) { TBorderImage::PaintSample(p, r, *o); });
    const QColor topSide = At(cell, 7, 3), bottomSide = At(cell, 7, 11);
    o->SetBorderSides(2); // bottom only
    paint([&](QPainter& p) { TBorderImage::PaintSample(p, r, *o); });
    EXPECT_EQ(topSide, QColor(Qt::black));
    EXPECT_NE(bottomSide, QColor(Qt::black));
    EXPECT_NE(At(cell, 7, 3), QColor(Qt::black));
    EXPECT_EQ(At(cell, 7, 11), QColor(Qt::black));

    o->Docking = 2; // the left third
    paint([&](QPainter& p) { TPositionImage::PaintSample(p, r, *o); });
    EXPECT_EQ(At(cell, 2, 7), QColor(Qt::black));
    EXPECT_EQ(At(cell, 11, 7), QColor(Qt::white));
    o->Docking = 1; // the bottom third
    paint([&](QPainter& p) { TPositionImage::PaintSample(p, r, *o); });
    EXPECT_EQ(At(cell, 7, 12), QColor(Qt::black));
    EXPECT_EQ(At(cell, 7, 2), QColor(Qt::white));
}

// ---- rulers ----

// Whether column x of the horizontal ruler carries a tick, and of which colour.
QColor TickColour(const TLineal& ruler, int x)
{
    return ruler.ScaleImage->Image().pixelColor(x, ruler.Height() - 1);
}

TEST_F(AidsOnForm, RulerTicksFollowMillimetresAtTheZoom)
{
    TLineal::ShowRulers(rulers, nullptr, form);
    TLineal& h = *rulers[0];
    TLineal& v = *rulers[1];
    EXPECT_EQ(h.geometry(), QRect(0, 0, form->Width() + 22, 18));
    EXPECT_EQ(v.geometry(), QRect(0, 18, 22, form->Height()));
    EXPECT_EQ(form->pos(), QPoint(22, 18));
    const QColor background = ToQColor(DesignerColor);
    const QColor black(Qt::black), silver = ToQColor(clSilver);

    struct Tick {
        int zoomItem;   // 5 = 100 %, 8 = 200 %
        int n;          // millimetre
        int x;          // pixels from the ruler's left edge
        QColor colour;
    };
    const Tick ticks[] = {
        {5, 0, 22, black},    {5, 1, 26, silver},  {5, 5, 41, black},
        {5, 10, 60, black},   {5, 11, 64, silver}, {5, 100, 400, black},
        {8, 10, 98, black},   {8, 1, 30, silver},  {8, 5, 60, black},
    };
    for (int item : {5, 8}) {
        form->SetZoom(item);
        h.DrawScale();
        v.DrawScale();
        EXPECT_EQ(h.Width(), form->Width() + 22);
        for (const Tick& t : ticks) {
            if (t.zoomItem != item)
                continue;
            // 10 mm is [10 x 96 / 25.4] = 38 pixels at zoom 1 and [75.59] = 76 at zoom 2.
            EXPECT_EQ(h.TickPosition(t.n), t.x) << "zoom item " << item << ", " << t.n << " mm";
            EXPECT_EQ(TickColour(h, t.x), t.colour) << "zoom item " << item << ", " << t.n << " mm";
            EXPECT_EQ(TickColour(h, t.x - 1), background) << "zoom item " << item << ", " << t.n << " mm";
        }
    }
    // The vertical ruler: a short tick at 0, long ticks from its x0 = 14 at 5, 10, ... mm.
    form->SetZoom(5);
    v.DrawScale();
    const QImage& vi = v.ScaleImage->Image();
    EXPECT_EQ(vi.pixelColor(20, 0), black);
    EXPECT_EQ(vi.pixelColor(15, 0), background);
    const int y5 = v.TickPosition(5);
    EXPECT_EQ(y5, 19);
    EXPECT_EQ(vi.pixelColor(15, y5), black);
    EXPECT_EQ(vi.pixelColor(15, v.TickPosition(4)), background);
}

TEST_F(AidsOnForm, SmallZoomsThinOutTheScaleAndDropIt)
{
    TLineal::ShowRulers(rulers, nullptr, form);
    TLineal& h = *rulers[0];
    const QColor background = ToQColor(DesignerColor);
    form->SetZoom(3); // 50 %: every 2 mm, long ticks at multiples of 10, no numbers
    h.DrawScale();
    EXPECT_EQ(TickColour(h, h.TickPosition(1)), background);
    EXPECT_EQ(TickColour(h, h.TickPosition(2)), ToQColor(clSilver));
    EXPECT_EQ(TickColour(h, h.TickPosition(5)), background);
    EXPECT_EQ(TickColour(h, h.TickPosition(10)), QColor(Qt::black));
    const QImage& image = h.ScaleImage->Image();
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < image.width(); ++x)
            ASSERT_EQ(image.pixelColor(x, y), background) << "a number at " << x << ", " << y;

    form->SetZoom(2); // 25 %: the background only
    h.DrawScale();
    const QImage& bare = h.ScaleImage->Image();
    EXPECT_EQ(bare.size(), QSize(h.Width(), h.Height()));
    for (int y = 0; y < bare.height(); ++y)
        for (int x = 0; x < bare.width(); ++x)
            ASSERT_EQ(bare.pixelColor(x, y), background) << x << ", " << y;
}

TEST_F(AidsOnForm, MarkersFollowFormPositions)
{
    TLineal::ShowRulers(rulers, nullptr, form);
    TLineal::ShowPositionOn(rulers, 50, 70);
    EXPECT_EQ(rulers[0]->XMarker->pos(), QPoint(72, 2));
    EXPECT_EQ(rulers[1]->YMarker->pos(), QPoint(4, 70));
    // The other two marks stay where they were made.
    EXPECT_EQ(rulers[0]->YMarker->pos(), QPoint(4, 20));
    EXPECT_EQ(rulers[1]->XMarker->pos(), QPoint(100, 2));
    // A position inside a container on the form counts from the form's corner.
    TDynPanel* container = SelectedChild();
    auto* inner = new TDynPanel(nullptr, container);
    EXPECT_EQ(TLineal::PositionOnForm(inner, 5, 7, form), QPoint(205, 307));
    EXPECT_EQ(TLineal::PositionOnForm(container, 5, 7, form), QPoint(5, 7));
    // Freed rulers let the form go back to the corner.
    TLineal::FreeRulers(rulers, form);
    EXPECT_EQ(rulers[0], nullptr);
    EXPECT_EQ(form->pos(), QPoint(0, 0));
}

// ---- help lines ----

TEST_F(AidsOnForm, HelpLinesStartAtTheirPlacesWithMillimetreTexts)
{
    TDynMarginPanel::CreateHelpLines(nullptr, form, guides, lines);
    struct Start {
        int orientation;
        QRect bounds;
        QRect line;
        const char* text;
    };
    const int w = form->Width(), h = form->Height();
    const Start starts[4] = {
        {0, {120, 4, 10, 20}, {125, 0, 1, h}, "33"}, // 125 / (96 / 25.4) = 33.07
        {0, {30, 4, 10, 20}, {35, 0, 1, h}, "9"},
        {1, {4, 50, 10, 20}, {0, 60, w, 1}, "16"},
        {1, {4, 200, 10, 20}, {0, 210, w, 1}, "56"},
    };
    for (int i = 0; i < 4; ++i) {
        TDynMarginPanel& g = *guides[size_t(i)];
        EXPECT_EQ(g.KindInfo.Code, kcMarginPanel);
        EXPECT_EQ(g.Orientation, starts[i].orientation);
        EXPECT_EQ(g.geometry(), starts[i].bounds) << i;
        EXPECT_EQ(g.Line->geometry(), starts[i].line) << i;
        EXPECT_EQ(g.Text(), QString::fromLatin1(starts[i].text)) << i;
        EXPECT_EQ(g.Color(), clYellow);
    }
    // Lines 0 and 2 continue the guide at 30 through header and footer, 1 and 3 the guide at 120.
    EXPECT_EQ(lines[0]->parentWidget(), form->Header);
    EXPECT_EQ(lines[3]->parentWidget(), form->Footer);
    EXPECT_EQ(form->Header->HelpLines[0], lines[0]);
    EXPECT_EQ(form->Footer->HelpLines[1], lines[3]);
    const int headerLeft = form->Header->Left();
    EXPECT_EQ(lines[0]->x(), 35 - headerLeft);
    EXPECT_EQ(lines[2]->x(), 35 - headerLeft);
    EXPECT_EQ(lines[1]->x(), 125 - headerLeft);
    EXPECT_EQ(lines[3]->x(), 125 - headerLeft);
}

TEST_F(AidsOnForm, DraggedGuideMovesOnlyAlongItsAxisWithItsLines)
{
    TDynMarginPanel::CreateHelpLines(nullptr, form, guides, lines);
    HelpLinesVisible = true;
    form->Header->ToggleOn();
    form->Header->UpdateLayout();
    TDynMarginPanel& vertical = *guides[1]; // at 30, line at 35
    QTest::mousePress(&vertical, Qt::LeftButton, {}, QPoint(5, 10));
    EXPECT_TRUE(vertical.Dragging);
    QTest::mouseMove(&vertical, QPoint(45, 40));
    QTest::mouseRelease(&vertical, Qt::LeftButton, {}, QPoint(45, 40));
    EXPECT_FALSE(vertical.Dragging);
    EXPECT_EQ(vertical.pos(), QPoint(70, 4));
    EXPECT_EQ(vertical.Line->geometry(), QRect(75, 0, 1, form->Height()));
    EXPECT_EQ(vertical.Text(), QStringLiteral("20")); // 75 / 3.78 = 19.84
    const int headerLeft = form->Header->Left();
    EXPECT_EQ(lines[0]->geometry(), QRect(75 - headerLeft, 0, 1, form->Header->Height()));
    EXPECT_EQ(lines[1]->x(), 125 - headerLeft); // the other guide's lines stay
    // The footer's line keeps its place when the footer is switched on and laid out later.
    form->Footer->ToggleOn();
    form->Footer->UpdateLayout();
    EXPECT_EQ(form->Footer->Left(), headerLeft);
    EXPECT_EQ(lines[2]->geometry(), QRect(75 - headerLeft, 0, 1, form->Footer->Height()));

    TDynMarginPanel& horizontal = *guides[2]; // at top 50, line at 60
    QTest::mousePress(&horizontal, Qt::LeftButton, {}, QPoint(5, 10));
    QTest::mouseMove(&horizontal, QPoint(60, 48));
    QTest::mouseRelease(&horizontal, Qt::LeftButton, {}, QPoint(60, 48));
    EXPECT_EQ(horizontal.pos(), QPoint(4, 88));
    EXPECT_EQ(horizontal.Line->geometry(), QRect(0, 98, form->Width(), 1));
    EXPECT_EQ(horizontal.Text(), QStringLiteral("26")); // 98 / 3.78 = 25.93

    // While the project is locked a guide stays put.
    AllLocked = true;
    QTest::mousePress(&horizontal, Qt::LeftButton, {}, QPoint(5, 10));
    QTest::mouseMove(&horizontal, QPoint(5, 60));
    QTest::mouseRelease(&horizontal, Qt::LeftButton, {}, QPoint(5, 60));
    EXPECT_EQ(horizontal.pos(), QPoint(4, 88));
    HelpLinesVisible = false;
}

TEST_F(AidsOnForm, TypedMillimetresPlaceTheGuide)
{
    TDynMarginPanel::CreateHelpLines(nullptr, form, guides, lines);
    TDynMarginPanel& vertical = *guides[0];
    TDynMarginPanel& horizontal = *guides[3];
    auto type = [](TDynMarginPanel& g, const QString& text, int key) {
        QTest::mouseDClick(&g, Qt::LeftButton, {}, QPoint(5, 10));
        QLineEdit* edit = g.Editor();
        EXPECT_NE(edit, nullptr);
        if (!edit)
            return;
        EXPECT_EQ(edit->text(), g.Text());
        edit->clear();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key(key));
        EXPECT_EQ(g.Editor(), nullptr);
    };
    struct Case {
        TDynMarginPanel* guide;
        QString typed;
        int key;
        int linePos;      // x of a vertical line, y of a horizontal one
        QString text;
    };
    const Case cases[] = {
        {&vertical, QStringLiteral("50"), Qt::Key_Return, 189, QStringLiteral("50")}, // [50 x 3.7795]
        {&vertical, QStringLiteral("1x"), Qt::Key_Return, 0, QStringLiteral("0")},     // no whole number
        {&vertical, QStringLiteral("70"), Qt::Key_Escape, 0, QStringLiteral("0")},     // discarded
        {&horizontal, QStringLiteral("100"), Qt::Key_Enter, 378, QStringLiteral("100")},
        {&horizontal, QStringLiteral("12.5"), Qt::Key_Return, 0, QStringLiteral("0")},
    };
    for (const Case& c : cases) {
        type(*c.guide, c.typed, c.key);
        TDynMarginPanel& g = *c.guide;
        if (g.Orientation == 0) {
            EXPECT_EQ(g.Left(), c.linePos - 5) << c.typed.toStdString();
            EXPECT_EQ(g.Line->geometry(), QRect(c.linePos, 0, 1, form->Height())) << c.typed.toStdString();
        } else {
            EXPECT_EQ(g.Top(), c.linePos - 10) << c.typed.toStdString();
            EXPECT_EQ(g.Line->geometry(), QRect(0, c.linePos, form->Width(), 1)) << c.typed.toStdString();
        }
        EXPECT_EQ(g.Text(), c.text) << c.typed.toStdString();
    }
    // The typed value also carries the vertical guide's lines through header and footer.
    EXPECT_EQ(lines[1]->x(), -form->Header->Left());
}

// Records the mouse presses a widget receives.
class PressRecorder : public QObject {
public:
    QList<QPoint> presses;
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::MouseButtonPress)
            presses << static_cast<QMouseEvent*>(e)->position().toPoint();
        return false;
    }
};

TEST_F(AidsOnForm, PressOnAHelpLineGoesToWhatLiesBeneath)
{
    TDynMarginPanel::CreateHelpLines(nullptr, form, guides, lines);
    form->Header->ToggleOn();
    form->Header->UpdateLayout();
    PressRecorder recorder;
    form->installEventFilter(&recorder);
    TGridLine* line = lines[0]; // on the header, which lies on the form
    QTest::mousePress(line, Qt::LeftButton, {}, QPoint(0, 40));
    QTest::mouseRelease(line, Qt::LeftButton, {}, QPoint(0, 40));
    QTest::mousePress(line, Qt::RightButton, {}, QPoint(0, 40));
    form->removeEventFilter(&recorder);
    ASSERT_EQ(recorder.presses.size(), 1);
    EXPECT_EQ(recorder.presses[0], form->Header->pos() + line->pos() + QPoint(0, 40));
}

// ---- the designer's own switches ----

class DesignerAids : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        InitVariables(dir.path() + '/');
        FillTextDefaults();
        TScreen::Override(96, 1280, 1024);
        TPrinter::Get().Reset();
        InstallDesignerFactory();
        window = std::make_unique<QWidget>();
        window->resize(1200, 900);
        host = std::make_unique<TOstrevoReportGenerator>(nullptr, window.get());
        window->show();
        ASSERT_NE(TheDesigner, nullptr);
        ASSERT_NE(CurrentForm, nullptr);
        FormPixelsPerMmX = PixelsPerMmX;
        FormPixelsPerMmY = PixelsPerMmY;
    }
    void TearDown() override
    {
        host.reset();
        window.reset();
        TScreen::ClearOverride();
        TPrinter::Get().Reset();
    }
    QTemporaryDir dir;
    std::unique_ptr<QWidget> window;
    std::unique_ptr<TOstrevoReportGenerator> host;
};

TEST_F(DesignerAids, RulersComeAndGoAndFollowTheMovedObject)
{
    TObjectgenerator& d = *TheDesigner;
    TDynDBForm* form = CurrentForm;
    d.SetRulers(true, true);
    EXPECT_TRUE(RulersVisible);
    ASSERT_NE(d.Rulers[0], nullptr);
    ASSERT_NE(d.Rulers[1], nullptr);
    EXPECT_EQ(d.Rulers[0]->parentWidget(), form->parentWidget());
    EXPECT_TRUE(d.Rulers[0]->isVisible());
    EXPECT_EQ(d.Rulers[1]->geometry(), QRect(0, 18, 22, form->Height()));
    EXPECT_EQ(d.Rulers[0]->Color(), DesignerColor);

    // An object inside a container on the form reports its position while it is moved.
    DrawRect = TDrawRect{0, 0, 0, 0, 100, 120, 300, 320};
    auto* container = new TDynPanel(nullptr, form);
    form->Children->Add(container);
    DrawRect = TDrawRect{0, 0, 0, 0, 10, 20, 60, 60};
    auto* o = new TDynPanel(nullptr, container);
    container->Children->Add(o);
    SelectedObject = o;
    d.ReportPosition(30, 40, 50, 40);
    EXPECT_EQ(d.Rulers[0]->XMarker->x(), 100 + 30 + 22);
    EXPECT_EQ(d.Rulers[1]->YMarker->y(), 120 + 40);

    d.SetRulers(false, true);
    EXPECT_FALSE(RulersVisible);
    EXPECT_EQ(d.Rulers[0], nullptr);
    EXPECT_EQ(d.Rulers[1], nullptr);
    d.ReportPosition(1, 2, 3, 4); // nothing left to follow
    SelectedObject = nullptr;
    // A ruler that goes with its page leaves no trace in the designer.
    d.SetRulers(true, false);
    delete d.Rulers[0];
    EXPECT_EQ(d.Rulers[0], nullptr);
    d.SetRulers(false, false);
    EXPECT_EQ(d.Rulers[1], nullptr);
}

TEST_F(DesignerAids, HelpLinesComeAndGoWithTheForm)
{
    TObjectgenerator& d = *TheDesigner;
    TDynDBForm* form = CurrentForm;
    d.SetHelpLines(true);
    EXPECT_TRUE(HelpLinesVisible);
    for (TDynMarginPanel* g : d.HelpLineGuides) {
        ASSERT_NE(g, nullptr);
        EXPECT_EQ(g->parentWidget(), form);
    }
    for (TGridLine* l : d.HelpLines)
        ASSERT_NE(l, nullptr);
    EXPECT_EQ(form->Header->HelpLines[1], d.HelpLines[1]);
    // Switching on again makes them anew.
    d.SetHelpLines(true);
    EXPECT_EQ(form->findChildren<TDynMarginPanel*>().size(), 4);
    d.SetHelpLines(false);
    EXPECT_FALSE(HelpLinesVisible);
    for (TDynMarginPanel* g : d.HelpLineGuides)
        EXPECT_EQ(g, nullptr);
    EXPECT_TRUE(form->findChildren<TDynMarginPanel*>().isEmpty());
    EXPECT_TRUE(form->findChildren<TGridLine*>().isEmpty());
    // A guide that goes with its form leaves no trace in the designer.
    d.SetHelpLines(true);
    delete d.HelpLineGuides[2];
    EXPECT_EQ(d.HelpLineGuides[2], nullptr);
    delete d.HelpLines[0];
    EXPECT_EQ(d.HelpLines[0], nullptr);
    // The designer is freed with rulers and help lines on.
    d.SetRulers(true, false);
}

} // namespace
