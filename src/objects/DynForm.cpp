#include "objects/DynForm.h"
#include "content/Lineal.h"
#include "content/PrintMarginPanel.h"
#include "designer/Objectgenerator.h"
#include "designer/BImage.h"
#include "objects/DesignerLink.h"
#include "objects/RScrollBox.h"
#include "platform/Screen.h"
#include "shell/Variable.h"
#include <QScrollBar>
#include <cmath>

const std::array<QString, 10> ZoomItems = {
    QString(), QString(), QStringLiteral("25"), QStringLiteral("50"), QStringLiteral("75"),
    QStringLiteral("100"), QStringLiteral("125"), QStringLiteral("150"), QStringLiteral("200"), QStringLiteral("250")};

std::function<QSize()>& TDynForm::HostAreaProvider()
{
    static std::function<QSize()> provider;
    return provider;
}

TDynForm::TDynForm(TComponent* owner, QWidget* parent) : TDynRichEdit(owner, parent)
{
    if (PrinterDpiX == 0)
        TakePrinterMetrics();
    KindInfo = KindByCode(kcForm);
    Name = KindInfo.Name + NumberText;
    Interaction = ibReport;
    SetHint(QString());
    BackColor = clWhite;
    BevelInner = BevelOuter = TBevelCut::bvNone;
    BorderWidth = 0;
    BorderPixels = PreviousBorderPixels = 0;
    GrowWithBorder = false;
    ptop = pleft = 0;
    const double ppi = TScreen::PixelsPerInch();
    pwidth = RoundHalfEven(PageWidthDots * ppi / PrinterDpiX);
    pheight = RoundHalfEven(PageHeightDots * ppi / PrinterDpiY);
    MarginLeftPanel = std::make_unique<TDynPrintMarginPanel>(this);
    MarginTopPanel = std::make_unique<TDynPrintMarginPanel>(this);
    MarginRightPanel = std::make_unique<TDynPrintMarginPanel>(this);
    MarginBottomPanel = std::make_unique<TDynPrintMarginPanel>(this);
    Content = nullptr;
    SetLocked(true);
    ::ZoomPercent = 100.0;
    ZoomFactor = 1.0;
    GridLogical = RoundHalfEven(PixelsPerMmX * 10);
    GridPixels = GridStep = RoundHalfEven(GridLogical * ZoomFactor);
    SetBounds(0, 0, pwidth, pheight);
}

TDynForm::~TDynForm() = default;

double TDynForm::ZoomPercentFor(int index)
{
    ComputeAvailableArea();
    const double aw = AvailableWidth, ah = AvailableHeight;
    if (index == 0) {
        double z = ah / pheight * 1.05;
        // Stop at a zoom that shows the whole page; never below 5 %.
        while (z > 0.05 && !(std::trunc(pheight * z) < ah - 40 && std::trunc(pwidth * z) < aw))
            z -= 0.05;
        return z * 100.0;
    }
    if (index == 1) {
        double z = aw / pwidth * 1.05;
        while (z > 0.05 && !(std::trunc(pwidth * z) < aw - 50))
            z -= 0.05;
        return z * 100.0;
    }
    bool ok = false;
    const int v = (index >= 0 && index < int(ZoomItems.size())) ? ZoomItems[size_t(index)].toInt(&ok) : 0;
    return ok ? v : 100.0;
}

void TDynForm::SetZoom(int index)
{
    if (index == -1)
        return;
    hide();
    KeepLogicalValues = true;
    double percent = ZoomPercentFor(index);
    LimitZoom(percent);
    ZoomFactor = percent / 100.0;
    if (ScrollBox) {
        ScrollBox->horizontalScrollBar()->setValue(0);
        ScrollBox->verticalScrollBar()->setValue(0);
    }
    SetPageGeometry(PrintMargins);
    ZoomPercent = percent;
    ZoomIndex = index;
    GridPixels = RoundHalfEven(GridLogical * ZoomFactor);
    GridStep = GridPixels;
    ::ZoomPercent = percent;
    ApplyZoom(ZoomFactor);
    UpdateLayout();
    PlaceScrollBox();
    if (RulersVisible && TheDesigner && TheDesigner->Rulers[0]) {
        // The rulers sit beside the page: redraw them at the zoom and move the form beside them.
        TLineal::ShowRulers(TheDesigner->Rulers, TheDesigner, this);
    } else {
        move(0, 0);
    }
    if (!Loading) {
        ShowUnlessHidden();
        if (auto* d = Designer())
            d->HideHandles();
    }
    KeepLogicalValues = false;
}

void TDynForm::SetPageGeometry(const TRect& m)
{
    const int w = static_cast<int>(std::trunc(pwidth * ZoomFactor));
    const int h = static_cast<int>(std::trunc(pheight * ZoomFactor));
    resize(w, h);
    const double f = double(TScreen::PixelsPerInch()) / PrinterDpiX;
    const double g = double(TScreen::PixelsPerInch()) / PrinterDpiY;
    const int l = RoundHalfEven(m.Left * f * ZoomFactor);
    const int t = RoundHalfEven(m.Top * g * ZoomFactor);
    const int r = RoundHalfEven(m.Right * f * ZoomFactor);
    const int b = RoundHalfEven(m.Bottom * g * ZoomFactor);
    MarginLeftPanel->SetBounds(0, 0, l, h);
    MarginTopPanel->SetBounds(0, 0, w, t);
    MarginRightPanel->SetBounds(w - r, 0, r, h);
    MarginBottomPanel->SetBounds(0, h - b, w, b);
    UpdateFrameRects();
    if (ScrollBox)
        ScrollBox->FitSurface(w, h);
}

void TDynForm::UpdateFrameRects()
{
    if (!MarginLeftPanel) { // during construction
        TDynRichEdit::UpdateFrameRects();
        return;
    }
    const TRect inner(MarginLeftPanel->Width, MarginTopPanel->Height, Width() - MarginRightPanel->Width,
                      Height() - MarginBottomPanel->Height);
    BorderFrame->SetRect(inner);
    ContentFrame->SetRect(inner);
    OuterFrame->SetRect(TRect(0, 0, Width(), Height()));
}

void TDynForm::ComputeAvailableArea()
{
    QSize area;
    if (HostAreaProvider())
        area = HostAreaProvider()();
    else if (ScrollBox && ScrollBox->parentWidget())
        area = ScrollBox->parentWidget()->size();
    else
        area = QSize(Width() + 4, Height());
    AvailableHeight = area.height();
    AvailableWidth = area.width() - 4;
}

void TDynForm::PlaceScrollBox()
{
    if (!ScrollBox)
        return;
    const int b = AvailableHeight;
    const int d = Width();
    int a = AvailableWidth;
    int start;
    if (a < d) {
        start = 0;
        a += 8;
    } else {
        start = a - d - 20;
        a = d + 20;
    }
    a = std::min(a, TScreen::Width() - 24);
    const int bb = std::min(b, TScreen::Height() - 24);
    // Inside a tab page the scroll box fills the page; the geometry matters on its own.
    if (!ScrollBox->parentWidget() || !ScrollBox->parentWidget()->layout())
        ScrollBox->setGeometry(start, 0, a, bb - 24);
    ScrollBox->FitSurface(Width(), Height());
}

void TDynForm::UpdateLayout()
{
    if (Loading)
        return;
    PreviousBorderPixels = BorderPixels;
    StoreLogicalBounds();
    UpdateFrameRects();
    pleft = ptop = 0;
    ContentFrame->SetRect(InsetBySides(BorderSides, BorderFrame->PixelRect(), BorderPixels));
    ContentFrame->StoreLogical();
    PaintTo(Background->Canvas());
    if (ShowGrid)
        DrawGrid();
    Background->Present();
}

void TDynForm::Repaint()
{
    // The whole page: content, children's shapes and the margin strips.
    PaintTo(Background->Canvas());
    if (ShowGrid)
        DrawGrid();
    Background->Present();
}

void TDynForm::PaintTo(TCanvas& canvas)
{
    TDynRichEdit::PaintTo(canvas);
    for (TDynPrintMarginPanel* m : {MarginLeftPanel.get(), MarginTopPanel.get(), MarginRightPanel.get(),
                                    MarginBottomPanel.get()})
        m->Paint(canvas);
}

void TDynForm::DrawGrid()
{
    if (!ShowGrid || GridPixels < 4)
        return;
    TCanvas& c = Background->Canvas();
    c.Pen = TPen{clSilver, 1, psSolid, TPenMode::pmCopy};
    const int g = GridPixels;
    const TRect bf = BorderFrame->PixelRect();
    const int rows = std::min(Height() / g + 1, 100) - 1;
    for (int i = 1; i <= rows; ++i) {
        c.MoveTo(0, i * g);
        c.LineTo(bf.Right, i * g);
    }
    const int cols = std::min(Width() / g + 1, 100) - 1;
    for (int i = 1; i <= cols; ++i) {
        c.MoveTo(i * g, 0);
        c.LineTo(i * g, bf.Bottom);
    }
}

void TDynForm::SetShowGrid(bool value)
{
    ShowGrid = value;
    TDynForm::UpdateLayout();
    DrawGrid();
    Background->Present();
}

void TDynForm::SetGrid(Int32 value)
{
    if (value < 2 || value >= pwidth / 2)
        return;
    GridLogical = value;
    GridPixels = GridStep = RoundHalfEven(value * ZoomFactor);
}

void TDynForm::SetSnapToGrid(bool value)
{
    SnapToGrid = value;
    ::SnapToGrid = value;
}
