// Page header, page footer and the printable-margin strips of a database form.
#include "content/Header.h"
#include "content/PrintMarginPanel.h"
#include "designer/BImage.h"
#include "objects/DesignerLink.h"
#include "objects/DynDBForm.h"
#include "objects/ObjectList.h"
#include "objects/RScrollBox.h"
#include "platform/Dialogs.h"
#include "platform/MemoryStream.h"
#include "platform/Printer.h"
#include "platform/Screen.h"
#include "shell/Variable.h"
#include <QDir>
#include <QTest>
#include "tests/common/RecordingDesigner.h"
#include <gtest/gtest.h>
#include <cstring>
#include <memory>

namespace {


// A database form on the fallback page: A4 at 180 dpi (1488 x 2104 dots) shown at 96 pixels per
// inch is 794 x 1122 pixels; the margins of 34 dots are 18 pixels, so the content frame is
// (18, 18) to (776, 1104).
constexpr TRect Frame{18, 18, 776, 1104};

class HeaderFooter : public testing::Test {
protected:
    void SetUp() override
    {
        InitVariables(QDir::tempPath());
        TScreen::Override(96, 1280, 1024);
        TPrinter::Get().Reset();
        TScriptedDialogs quiet; // the no-printer warning is not what these tests are about
        TakePrinterMetricsWith(quiet);
        SetDesignerLink(&designer);
        top = std::make_unique<QWidget>();
        top->resize(900, 700);
        tab = new TFormTab(top.get());
        form = NewForm();
        top->show();
    }
    void TearDown() override
    {
        delete second;
        delete form;
        top.reset();
        SetDesignerLink(nullptr);
        PaintingForOutput = false;
        TScreen::ClearOverride();
        TPrinter::Get().Reset();
    }
    TDynDBForm* NewForm()
    {
        auto* f = new TDynDBForm(nullptr, tab);
        f->SetPageGeometry(PrintMargins);
        f->UpdateLayout();
        f->show();
        return f;
    }
    // Paints o onto a preview page for the given page of its form; true when its fill shows.
    bool PaintsOnPage(THeader* o, int pageIndex)
    {
        QImage page(form->pwidth, form->pheight, QImage::Format_RGB32);
        page.fill(Qt::white);
        TCanvas canvas(&page, TCanvasKind::Page);
        form->PageIndex = pageIndex;
        PaintingForOutput = true;
        o->PaintTo(canvas);
        PaintingForOutput = false;
        canvas.EndPaint();
        const QPoint inside(o->pleft + o->pwidth / 2, o->ptop + o->pheight / 2);
        return page.pixelColor(inside) == QColor(Qt::red);
    }

    RecordingDesigner designer;
    std::unique_ptr<QWidget> top;
    TFormTab* tab = nullptr;
    TDynDBForm* form = nullptr;
    TDynDBForm* second = nullptr;
};

// The four identity bytes of a record belong to the writing process; everything else must match.
void MaskIdentity(QByteArray& bytes, int recordStart)
{
    Int32 nameLength = 0;
    std::memcpy(&nameLength, bytes.constData() + recordStart + 8, 4);
    const int at = recordStart + 12 + nameLength + 63;
    ASSERT_LE(at + 4, bytes.size());
    bytes.replace(at, 4, QByteArray(4, '\0'));
}

} // namespace

TEST_F(HeaderFooter, NewFormHasAHeaderAndAFooterSwitchedOffAtTheHeadOfItsList)
{
    THeader* h = form->Header;
    TFooter* f = form->Footer;
    ASSERT_TRUE(h && f);
    EXPECT_EQ(form->Children->Items(0), h);
    EXPECT_EQ(form->Children->Items(1), f);
    EXPECT_EQ(h->Form, form);
    EXPECT_EQ(h->Name, "Form 1 Header");
    EXPECT_EQ(f->Name, "Form 1 Footer");
    const struct {
        THeader* o;
        Int32 code;
        Int16 sides;
        bool firstPage;
    } cases[] = {{h, kcHeader, 2, false}, {f, kcFooter, 1, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.o->Name.toStdString());
        EXPECT_EQ(c.o->KindInfo.Code, c.code);
        EXPECT_FALSE(c.o->SwitchedOn);
        EXPECT_FALSE(c.o->Visible());
        EXPECT_EQ(c.o->Interaction, ibSizeHeight | ibReport);
        EXPECT_EQ(c.o->BorderSides, c.sides);
        EXPECT_EQ(c.o->BorderWidth, 2);
        EXPECT_EQ(c.o->FirstPage, c.firstPage);
        EXPECT_EQ(c.o->pheight, 150);
        EXPECT_EQ(c.o->Height(), 150);
        EXPECT_EQ(c.o->PropertySet, PropertySets::Header());
        EXPECT_FALSE(c.o->Locked());
    }
    EXPECT_EQ(f->Docking, 0);
}

TEST_F(HeaderFooter, ToggleOnRecordsTheStateInTheFormAndShowsOrHides)
{
    for (THeader* o : {static_cast<THeader*>(form->Header), static_cast<THeader*>(form->Footer)}) {
        const Int32 code = o->KindInfo.Code;
        SCOPED_TRACE(code);
        EXPECT_TRUE(o->ToggleOn());
        EXPECT_TRUE(o->SwitchedOn);
        EXPECT_TRUE(o->Visible());
        EXPECT_TRUE(form->HasHeaderFooterOn(code));
        EXPECT_FALSE(o->ToggleOn());
        EXPECT_FALSE(o->Visible());
        EXPECT_FALSE(form->HasHeaderFooterOn(code));
    }
    // Each switch is the form's own entry.
    form->Footer->ToggleOn();
    EXPECT_FALSE(form->HeaderOn);
    EXPECT_TRUE(form->FooterOn);
}

TEST_F(HeaderFooter, PropertyRowSelectsTheSwitchedOnObjectAndTheFormWhenSwitchedOff)
{
    THeader* h = form->Header;
    h->ToggleFromRow();
    EXPECT_TRUE(form->HeaderOn);
    EXPECT_EQ(SelectedObject, h);
    EXPECT_EQ(designer.rowsOf, h);
    EXPECT_EQ(h->BoundsRect(), TRect::FromBounds(Frame.Left, Frame.Top, Frame.Width(), 150));
    h->ToggleFromRow();
    EXPECT_FALSE(form->HeaderOn);
    EXPECT_FALSE(h->Visible());
    EXPECT_EQ(SelectedObject, form);
    EXPECT_EQ(designer.rowsOf, form);
}

TEST_F(HeaderFooter, LayoutSpansTheContentFrameHeaderAtItsTopFooterAtItsBottom)
{
    form->Header->ToggleOn();
    form->Footer->ToggleOn();
    form->Header->UpdateLayout();
    form->Footer->UpdateLayout();
    EXPECT_EQ(form->Header->BoundsRect(), TRect(18, 18, 776, 168));
    EXPECT_EQ(form->Footer->BoundsRect(), TRect(18, 954, 776, 1104));
    EXPECT_EQ(form->Footer->ptop, 954);
    EXPECT_EQ(form->Footer->pwidth, 758);

    // Wider margins move the frame; both follow it on their next layout.
    form->SetPageGeometry(TRect(68, 68, 68, 68)); // 36 pixels
    form->Header->UpdateLayout();
    form->Footer->UpdateLayout();
    EXPECT_EQ(form->Header->BoundsRect(), TRect(36, 36, 758, 186));
    EXPECT_EQ(form->Footer->BoundsRect(), TRect(36, 936, 758, 1086));

    // While loading nothing moves.
    Loading = true;
    form->SetPageGeometry(PrintMargins);
    form->Header->UpdateLayout();
    Loading = false;
    EXPECT_EQ(form->Header->Left(), 36);
}

TEST_F(HeaderFooter, HeaderIsSizedAtItsBottomEdgeFooterAtItsTopEdge)
{
    THeader* h = form->Header;
    TFooter* f = form->Footer;
    h->ToggleOn();
    f->ToggleOn();
    h->UpdateLayout();
    f->UpdateLayout();
    const int right = h->Width() - 1; // the common object's corner zone is no zone here
    const struct {
        THeader* o;
        int x, y;
        bool hit;
    } cases[] = {
        {h, 10, 146, false}, {h, 10, 147, true}, {h, right, 149, true}, {h, 10, 0, false}, {h, right, 60, false},
        {f, 10, -1, false},  {f, 10, 0, true},   {f, right, 4, true},   {f, 10, 5, false}, {f, right, 149, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.o->Name.toStdString() + " at " + std::to_string(c.x) + "," + std::to_string(c.y));
        EXPECT_EQ(c.o->HitResizeEdge(c.x, c.y), c.hit);
        EXPECT_EQ(c.o->OnHeightEdge, c.hit);
        EXPECT_FALSE(c.o->OnWidthEdge);
    }
    f->Interaction = ibReport;
    EXPECT_FALSE(f->HitResizeEdge(10, 0));
}

TEST_F(HeaderFooter, DraggingTheFootersTopEdgeKeepsItsBottomAtTheContentFrame)
{
    TFooter* f = form->Footer;
    f->ToggleOn();
    f->UpdateLayout();
    ASSERT_EQ(f->Top(), 954);
    const struct {
        int dy;
        int top, height;
    } cases[] = {
        {-100, 854, 250},        // upwards: taller
        {60, 914, 190},          // downwards: shorter
        {-5000, Frame.Top, 1086}, // never above the content frame
        {5000, Frame.Bottom - 1, 1}, // never below it, and one pixel is left
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dy);
        const int startHeight = f->Height();
        QTest::mousePress(f, Qt::LeftButton, {}, QPoint(200, 2));
        ASSERT_TRUE(f->Resizing);
        // In two steps: the top follows the mouse's movement on the screen.
        QTest::mouseMove(f, QPoint(200, 2 + c.dy / 2));
        QTest::mouseMove(f, QPoint(200, 2 + c.dy));
        ASSERT_TRUE(form->Background->RubberBand().has_value());
        EXPECT_EQ(form->Background->RubberBand()->top(), c.top);
        EXPECT_EQ(form->Background->RubberBand()->bottom() + 1, Frame.Bottom);
        EXPECT_EQ(designer.lastReport, QRect(Frame.Left, c.top, Frame.Width(), c.height));
        QTest::mouseRelease(f, Qt::LeftButton, {}, QPoint(200, 2 + c.dy));
        EXPECT_FALSE(f->Resizing);
        EXPECT_FALSE(form->Background->RubberBand().has_value());
        EXPECT_EQ(f->Top(), c.top);
        EXPECT_EQ(f->Height(), c.height);
        EXPECT_EQ(f->Top() + f->Height(), Frame.Bottom);
        EXPECT_EQ(f->Left(), Frame.Left);
        EXPECT_EQ(f->Width(), Frame.Width());
        EXPECT_EQ(f->pheight, c.height);
        EXPECT_EQ(f->HeightChanged, c.height != startHeight);
        EXPECT_EQ(designer.lastReport, QRect(Frame.Left, c.top, Frame.Width(), c.height));
    }
}

TEST_F(HeaderFooter, OnOutputTheHeaderSkipsTheFirstPageUnlessFirstPageIsSet)
{
    THeader* h = form->Header;
    TFooter* f = form->Footer;
    for (THeader* o : {h, static_cast<THeader*>(f)}) {
        o->SetColor(clRed);
        o->UpdateLayout();
    }
    // Switched off, neither paints on any page.
    for (int page : {0, 1}) {
        EXPECT_FALSE(PaintsOnPage(h, page)) << page;
        EXPECT_FALSE(PaintsOnPage(f, page)) << page;
    }
    h->ToggleOn();
    f->ToggleOn();
    h->UpdateLayout();
    f->UpdateLayout();
    const struct {
        THeader* o;
        bool firstPage;
        int page;
        bool painted;
    } cases[] = {
        {h, false, 0, false}, {h, false, 1, true}, {h, false, 3, true}, {h, true, 0, true},
        {f, true, 0, true},   {f, true, 1, true},  {f, false, 0, false}, {f, false, 2, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.o->Name.toStdString() + " page " + std::to_string(c.page));
        c.o->FirstPage = c.firstPage;
        EXPECT_EQ(PaintsOnPage(c.o, c.page), c.painted);
    }
    // The design view is not a page: there the first-page rule does not apply.
    h->FirstPage = false;
    form->PageIndex = 0;
    EXPECT_TRUE(h->PaintsNow());
}

TEST_F(HeaderFooter, RecordsRoundTripByteForByteIntoAnotherFormsHeaderAndFooter)
{
    THeader* h = form->Header;
    TFooter* f = form->Footer;
    h->ToggleOn();
    f->ToggleOn();
    h->UpdateLayout();
    f->UpdateLayout();
    h->SetColor(clYellow);
    h->FirstPage = true;
    h->EnsureRichText()->setPlainText(QStringLiteral("Kopfzeile"));
    QTest::mousePress(f, Qt::LeftButton, {}, QPoint(100, 1));
    QTest::mouseMove(f, QPoint(100, -39));
    QTest::mouseRelease(f, Qt::LeftButton, {}, QPoint(100, -39));
    ASSERT_EQ(f->Height(), 190);

    TMemoryStream written;
    form->Children->SaveToStream(written);
    QByteArray bytes = written.Data();

    // The header's record is closed: its end is written into its header.
    const int headerStart = 4 + TKindInfo::Size;
    Int32 start = 0, end = 0;
    std::memcpy(&start, bytes.constData() + headerStart, 4);
    std::memcpy(&end, bytes.constData() + headerStart + 4, 4);
    EXPECT_EQ(start, headerStart);
    EXPECT_GT(end, start);
    EXPECT_EQ(bytes.mid(4, TKindInfo::Size), KindByCode(kcHeader).ToBytes());
    EXPECT_EQ(bytes.mid(end, TKindInfo::Size), KindByCode(kcFooter).ToBytes());

    // A second form reads them into its own header and footer, which stay its only children.
    second = NewForm();
    THeader* h2 = second->Header;
    TFooter* f2 = second->Footer;
    TMemoryStream reading(bytes);
    CurrentParent = second;
    second->Children->LoadFromStream(reading);
    EXPECT_EQ(reading.Position(), reading.Size());
    ASSERT_EQ(second->Children->Count(), 2);
    EXPECT_EQ(second->Children->Items(0), h2);
    EXPECT_EQ(second->Children->Items(1), f2);
    EXPECT_EQ(h2->BackColor, clYellow);
    EXPECT_TRUE(h2->FirstPage);
    EXPECT_EQ(f2->pheight, 190);
    // The form's own record switches them on again, as the original ones are.
    h2->SwitchOn(true);
    f2->SwitchOn(true);
    ASSERT_NE(h2->RichText, nullptr);
    EXPECT_EQ(h2->RichText->toPlainText(), QStringLiteral("Kopfzeile"));

    TMemoryStream again;
    second->Children->SaveToStream(again);
    QByteArray rewritten = again.Data();
    ASSERT_EQ(rewritten.size(), bytes.size());
    for (QByteArray* b : {&bytes, &rewritten}) {
        MaskIdentity(*b, headerStart);
        MaskIdentity(*b, end + TKindInfo::Size);
    }
    EXPECT_EQ(rewritten.toHex(' '), bytes.toHex(' '));
}

// ---- printable-margin strips ----

TEST_F(HeaderFooter, MarginStripsCoverTheUnprintableBorderOnEveryCanvas)
{
    // Without a printer the margins are 34 dots: 18 pixels at zoom 1, 36 at zoom 2.
    EXPECT_EQ(PrintMargins, TRect(34, 34, 34, 34));
    TDynPrintMarginPanel& left = *form->MarginLeftPanel;
    TDynPrintMarginPanel& bottom = *form->MarginBottomPanel;
    EXPECT_EQ(left.Width, 18);
    EXPECT_EQ(bottom.Top, 1122 - 18);
    EXPECT_EQ(left.StripColor, TColor(0xEEEEEE));

    ZoomFactor = 2.0;
    form->SetPageGeometry(PrintMargins);
    ASSERT_EQ(left.Width, 36);
    const QColor grey(0xEE, 0xEE, 0xEE);
    const struct {
        const char* name;
        TCanvasKind kind;
        bool output;
        double scale;
        TRect leftStrip, bottomStrip;
    } cases[] = {
        // The design surface shows the zoomed form.
        {"surface", TCanvasKind::Surface, false, 1.0, {0, 0, 36, 2244}, {0, 2208, 1588, 2244}},
        // A preview page holds the page at zoom 1, whatever the designer's zoom.
        {"preview", TCanvasKind::Page, true, 1.0, {0, 0, 18, 1122}, {0, 1104, 794, 1122}},
        // The printer gets the margin back in its own dots.
        {"printer", TCanvasKind::Printer, true, 180.0 / 96.0, {0, 0, 34, 2104}, {0, 2070, 1489, 2104}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QImage target(1600, 2250, QImage::Format_RGB32);
        target.fill(Qt::white);
        TCanvas canvas(&target, c.kind);
        form->ScaleX = form->ScaleY = c.scale;
        PaintingForOutput = c.output;
        left.Paint(canvas);
        bottom.Paint(canvas);
        PaintingForOutput = false;
        canvas.EndPaint();
        EXPECT_EQ(left.PaintRect, c.leftStrip);
        EXPECT_EQ(bottom.PaintRect, c.bottomStrip);
        EXPECT_EQ(target.pixelColor(c.leftStrip.Right - 1, 500), grey);
        EXPECT_EQ(target.pixelColor(c.leftStrip.Right, 500), QColor(Qt::white));
    }
    ZoomFactor = 1.0;
}
