#pragma once
// THeader, TFooter: the page header and page footer of a database form. Each spans the width of
// the form's content frame, the header at its top and the footer at its bottom, and repeats on
// every printed page while switched on. The user drags the header's bottom edge and the
// footer's top edge to change their height.
#include "objects/DynRichEdit.h"
#include <QPointer>
#include <array>

class TDynDBForm;

class THeader : public TDynRichEdit {
    Q_OBJECT
public:
    // Creates the header of form, inside container (the form itself, as a rule).
    THeader(TDynPanel* form, QWidget* container);

    // The form the header belongs to.
    TDynPanel* Form = nullptr;
    // Shown and printed; false at creation.
    bool SwitchedOn = false;
    // The designer's two help lines on this header (footer); they take its height.
    std::array<QPointer<QWidget>, 2> HelpLines;

    // Flips SwitchedOn, records it in the form (HeaderOn / FooterOn) and shows or hides the
    // object accordingly. Returns the new state.
    bool ToggleOn();
    // Sets SwitchedOn and the visibility from the form's record (after loading the form).
    void SwitchOn(bool value);
    // The header (footer) row of the property panel: ToggleOn; when now on, the object is
    // selected, laid out and brought to front with its rows shown; when now off, the form is
    // selected with its rows.
    void ToggleFromRow();
    // Whether PaintTo paints now: only while switched on and, onto a preview page or the
    // printer, only on the first page when FirstPage is set.
    bool PaintsNow() const;

    void UpdateLayout() override;
    void PaintTo(TCanvas& canvas) override;
    bool HitResizeEdge(int x, int y) override;

    // The form as a database form, or nil.
    TDynDBForm* DBForm() const;

protected:
    // The footer lies at the bottom of the content frame.
    virtual bool AtBottom() const { return false; }
};

class TFooter : public THeader {
    Q_OBJECT
public:
    TFooter(TDynPanel* form, QWidget* container);

    // The top edge while it is dragged, kept inside the form's content frame.
    Int32 NewTop = 0;

    bool HitResizeEdge(int x, int y) override;
    // Dragging the top edge: the bottom stays at the content frame's bottom.
    void BeginDragSize(int x, int y, QPoint screen) override;
    void DragSizeTo(int x, int y, QPoint screen) override;
    void EndDragSize() override;

protected:
    bool AtBottom() const override { return true; }

private:
    // The top the mouse asks for, before it is kept inside the content frame.
    Int32 wantedTop_ = 0;
};
