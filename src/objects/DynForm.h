#pragma once
// TDynForm: a page-sized object: the printer's page with its print margins, a design grid and
// a zoom.
#include "objects/DynRichEdit.h"
#include <QSize>
#include <functional>

class TRScrollBox;
class TDynPrintMarginPanel;

// The zoom chooser's items.
extern const std::array<QString, 10> ZoomItems; // "max. vertical", "max. horizontal", "25" ... "250"
constexpr int ZoomItem100 = 5;

class TDynForm : public TDynRichEdit {
    Q_OBJECT
public:
    TDynForm(TComponent* owner, QWidget* parent);
    ~TDynForm() override;

    TRScrollBox* ScrollBox = nullptr;
    bool PreviewMode = false;
    std::unique_ptr<TDynPrintMarginPanel> MarginLeftPanel, MarginTopPanel, MarginRightPanel, MarginBottomPanel;
    Int32 AvailableWidth = 0, AvailableHeight = 0;
    Int32 GridPixels = 0;
    Int32 GridLogical = 0;
    Int32 ZoomIndex = ZoomItem100;
    double ZoomPercent = 100.0;
    bool SnapToGrid = true;
    bool ShowGrid = false;

    void SetZoom(int index) override;
    void UpdateLayout() override;
    void UpdateFrameRects() override;
    void Repaint() override;
    void PaintTo(TCanvas& canvas) override;
    void SetObjectName(const QString&) override {}

    void SetPageGeometry(const TRect& margins);
    void ComputeAvailableArea();
    void PlaceScrollBox();
    void DrawGrid();
    void SetShowGrid(bool value);
    void SetGrid(Int32 value);
    void SetSnapToGrid(bool value);
    // The zoom percent an item of the zoom chooser gives, before LimitZoom.
    double ZoomPercentFor(int index);

    // The space the host offers for the form (before rulers): set by the designer; without one
    // the size of the form's page is used.
    static std::function<QSize()>& HostAreaProvider();
};
