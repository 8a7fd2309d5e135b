// The container: its children inside its record, zoom passed on, the target of new objects, and
// the mouse for placing the designer's pending kind and dragging the handles of its shapes.
#include "objects/DynMultiPanel.h"
#include "content/DynGraphik.h"
#include "designer/BImage.h"
#include "objects/DesignerLink.h"
#include "objects/KindRegistry.h"
#include "objects/ObjectList.h"
#include "platform/MemoryStream.h"
#include "shell/Texts.h"

TDynMultiPanel::TDynMultiPanel(TComponent* owner, QWidget* parent) : TDynPanel(owner, parent) {}

TDynMultiPanel* TDynMultiPanel::CreateMultiPanel(TComponent* owner, QWidget* parent)
{
    auto* p = new TDynMultiPanel(owner, parent);
    p->InitMultiPanelKind();
    return p;
}

void TDynMultiPanel::InitMultiPanelKind()
{
    KindInfo = KindByCode(kcMultiPanel);
    Name = Texts(148) + NumberText;
    Children->ListName = Name + Texts(130);
    SetHint(QString());
    PropertySet = PropertySets::MultiPanel();
    CollectPropertyRows();
    UpdateLayout();
}

std::function<void(TDynMultiPanel*, const TDrawRect&)>& TDynMultiPanel::CreatePendingObject()
{
    static std::function<void(TDynMultiPanel*, const TDrawRect&)> hook;
    return hook;
}

// ---- record ----

void TDynMultiPanel::SaveToStream()
{
    TDynPanel::SaveToStream();
    Children->SaveToStream(Stream());
}

void TDynMultiPanel::LoadFromStream()
{
    TDynPanel::LoadFromStream();
    // The children are created inside this container; whoever was the current parent before
    // is it again afterwards, also when the children's records break off.
    TDynPanel* const previous = CurrentParent;
    CurrentParent = this;
    try {
        Children->LoadFromStream(Stream());
    } catch (...) {
        CurrentParent = previous;
        throw;
    }
    CurrentParent = previous;
}

// ---- zoom, selection, painting ----

void TDynMultiPanel::ApplyZoom(double factor)
{
    TDynPanel::ApplyZoom(factor);
    Children->ApplyZoomAll(factor);
}

void TDynMultiPanel::Activate()
{
    SelectedObject = this;
    CurrentList = Children.get();
    CurrentParent = this;
}

void TDynMultiPanel::Repaint()
{
    TDynPanel::Repaint();
}

// ---- mouse ----

TDynPanel* TDynMultiPanel::FindShapeAt(int x, int y)
{
    return TDynGraphik::FindAt(*Children, x, y, HandleCode);
}

void TDynMultiPanel::CellClicked(TDynPanel*, TDynPanel*) {}

TDynMultiPanel* TDynMultiPanel::GridOfCell(int x, int y)
{
    if (!IsGridCell)
        return nullptr;
    auto* grid = dynamic_cast<TDynMultiPanel*>(Host);
    if (!grid || grid != ContainerObject())
        return nullptr;
    // The right edge of a cell sizes the cell's column; everything else belongs to the grid.
    if (HitResizeEdge(x, y) && OnWidthEdge)
        return nullptr;
    return grid;
}

void TDynMultiPanel::ShowRubberBand()
{
    if (creatingPending_) {
        if (PendingKind == pkLine) {
            Background->SetRubberBand(QRect(QPoint(DrawRect.X1, DrawRect.Y1), QPoint(DrawRect.X2, DrawRect.Y2)), true);
            return;
        }
        TDrawRect r = NormalizeRect(DrawRect);
        if (PendingKind == pkCircle)
            r.Bottom = r.Top + (r.Right - r.Left);
        Background->SetRubberBand(QRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top));
    } else if (draggedShape_) {
        const auto* graphic = qobject_cast<const TDynGraphik*>(draggedShape_.data());
        if (HandleCode == 1 || (graphic && graphic->Shape == gsLine)) {
            Background->SetRubberBand(QRect(QPoint(DrawRect.X1, DrawRect.Y1), QPoint(DrawRect.X2, DrawRect.Y2)), true);
            return;
        }
        const TDrawRect r = NormalizeRect(DrawRect);
        Background->SetRubberBand(QRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top));
    }
}

void TDynMultiPanel::MouseDownLeft(int x, int y, QPoint screen)
{
    forwardedTo_ = nullptr;
    draggedShape_ = nullptr;
    creatingPending_ = false;
    if (PendingKind != NoPendingKind) {
        if (SelectedObject != this)
            Select();
        // Both corners at the mouse; the widget keeps the mouse until the button is released.
        DrawRect = TDrawRect{x, y, x, y, x, y, x, y};
        creatingPending_ = true;
    } else {
        TDynPanel* shape = FindShapeAt(x, y);
        if (!shape || shape->Locked()) {
            if (TDynMultiPanel* grid = GridOfCell(x, y)) {
                grid->CellClicked(this, SelectedObject);
                forwardedTo_ = grid;
                const QPoint p = mapTo(grid, QPoint(x, y));
                grid->MouseDownLeft(p.x(), p.y(), screen);
            } else {
                TDynPanel::MouseDownLeft(x, y, screen);
            }
            return;
        }
        draggedShape_ = shape;
        DrawRect = TDrawRect{shape->Left(), shape->Top(), shape->Left() + shape->Width(), shape->Top() + shape->Height(),
                             shape->Left(), shape->Top(), shape->Left() + shape->Width(), shape->Top() + shape->Height()};
        if (auto* graphic = qobject_cast<TDynGraphik*>(shape))
            graphic->BeginHandleDrag(HandleCode);
        lastMouse_ = QPoint(x, y);
    }
    TCanvas& c = Background->Canvas();
    c.Pen.Width = 1;
    c.Pen.Color = clRed;
    c.Pen.Style = psDashDotDot;
    RubberActive = true;
}

void TDynMultiPanel::MouseMoved(int x, int y, QPoint screen, Qt::MouseButtons buttons)
{
    if (forwardedTo_) {
        const QPoint p = mapTo(forwardedTo_, QPoint(x, y));
        forwardedTo_->MouseMoved(p.x(), p.y(), screen, buttons);
        return;
    }
    if (RubberActive && creatingPending_) {
        DrawRect.X2 = x;
        DrawRect.Y2 = y;
        ShowRubberBand();
        return;
    }
    if (RubberActive && draggedShape_ && draggedShape_->Container == this && !draggedShape_->Locked()) {
        if (auto* graphic = qobject_cast<TDynGraphik*>(draggedShape_.data()))
            graphic->MoveHandle(HandleCode, x - lastMouse_.x(), y - lastMouse_.y());
        ShowRubberBand();
        lastMouse_ = QPoint(x, y);
        return;
    }
    TDynPanel::MouseMoved(x, y, screen, buttons);
}

void TDynMultiPanel::MouseUpLeft(int x, int y, QPoint screen)
{
    if (forwardedTo_) {
        QPointer<TDynMultiPanel> grid = forwardedTo_;
        forwardedTo_ = nullptr;
        const QPoint p = mapTo(grid, QPoint(x, y));
        grid->MouseUpLeft(p.x(), p.y(), screen);
        return;
    }
    if (RubberActive && creatingPending_) {
        creatingPending_ = false;
        RubberActive = false;
        // A line keeps its corners as drawn; its bounds are normalized all the same.
        const TDrawRect normalized = NormalizeRect(DrawRect);
        if (PendingKind == pkLine) {
            DrawRect.Left = normalized.Left;
            DrawRect.Top = normalized.Top;
            DrawRect.Right = normalized.Right;
            DrawRect.Bottom = normalized.Bottom;
        } else {
            DrawRect = normalized;
        }
        Background->SetRubberBand(std::nullopt);
        Repaint();
        const TDrawRect rect = DrawRect;
        if (PendingKind != NoPendingKind)
            if (const auto& create = CreatePendingObject())
                create(this, rect);
        PendingKind = NoPendingKind;
        return;
    }
    if (RubberActive && draggedShape_) {
        QPointer<TDynPanel> shape = draggedShape_;
        draggedShape_ = nullptr;
        RubberActive = false;
        Background->SetRubberBand(std::nullopt);
        if (auto* graphic = qobject_cast<TDynGraphik*>(shape.data()))
            graphic->EndHandleDrag(HandleCode); // takes the geometry when it changed, selects
        else if (shape)
            shape->Select();
        return;
    }
    TDynPanel::MouseUpLeft(x, y, screen);
    RubberActive = false;
}

namespace {
// The multi-panel's record is not closed: its complete routines are its own save and load.
TKindEntry MultiPanelEntry()
{
    TKindEntry e = PanelKind<TDynMultiPanel>(
        kcMultiPanel, [](TDynMultiPanel& o) { o.SaveToStream(); }, [](TDynMultiPanel& o) { o.LoadFromStream(); });
    e.Create = [](TComponent* owner, QWidget* parent, const std::any&) -> TComponent* {
        return TDynMultiPanel::CreateMultiPanel(owner, parent);
    };
    return e;
}
const TKindRegistrar MultiPanelKind(MultiPanelEntry());
} // namespace
