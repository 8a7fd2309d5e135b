#pragma once
// TDynMarginPanel: a help-line guide (kind "MarginPanel", 3000). A small yellow panel at the
// edge of the form that carries a thin line across the form and shows the line's position in
// whole millimetres. Guides of orientation 0 move only horizontally and carry a vertical line;
// guides of orientation 1 move only vertically and carry a horizontal line. Double-clicking a
// guide lets the user type a millimetre value that places it.
//
// The designer keeps four guides and four help lines: two guides of each orientation, and for
// the two vertical guides one line each on the form's header and on its footer, which lie
// over the form's own surface and would hide the guide lines there.
#include "objects/DYNSimpelPanel.h"
#include <QPointer>
#include <array>

class QLineEdit;
class TDynDBForm;
class TGridLine;
class TObjectgenerator;

class TDynMarginPanel : public TDYNSimpelPanel {
    Q_OBJECT
public:
    // A guide of the orientation (0: vertical line, 1: horizontal line) on form.
    TDynMarginPanel(TObjectgenerator* designer, Int16 orientation, TDynDBForm* form);
    ~TDynMarginPanel() override;

    // The guide line, owned.
    QPointer<TGridLine> Line;
    QPointer<TDynDBForm> Form;
    Int16 Orientation = 0;
    QPoint StartPoint;
    bool Dragging = false;
    // Where the line lies relative to the guide: half the guide's size plus the offset between
    // the guide's coordinates and the line's. Taken at the start of a drag.
    Int32 LineOffsetX = 0, LineOffsetY = 0;
    // The form's width (horizontal line) or height (vertical line) when the line was placed.
    Int32 ParentWidth = 0, ParentHeight = 0;
    // The help lines that continue a vertical guide's line through the header and the footer.
    QPointer<TGridLine> HeaderLine, FooterLine;

    QString Text() const { return Caption(); }
    void SetText(const QString& text) { SetCaption(text); }

    // Sets the bounds and puts the line under the guide's middle; the text shows its position.
    void Place(int left, int top, int width, int height);
    // Places the guide at the millimetre value of a typed text (0 when it is not a whole number).
    void ApplyTypedValue(const QString& text);
    // The help lines on header and footer take the guide line's position.
    void UpdateThroughLines();
    // The guide and its line take the current form as parent and come to front.
    void MoveOntoCurrentForm();
    // The inline editor for a typed value; Enter applies it, Escape or leaving discards it.
    void BeginEdit();
    QLineEdit* Editor() const { return editor_; }

    void BeginDrag(int x, int y);
    void DragTo(int x, int y);
    void EndDrag();

    // A vertical shift moves guide and line down by d, a horizontal one right by d.
    void ShiftTop(Int32 d) override;
    void ShiftLeft(Int32 d) override;

    void MouseDownLeft(int x, int y, QPoint screen) override;
    void MouseMoved(int x, int y, QPoint screen, Qt::MouseButtons buttons) override;
    void MouseUpLeft(int x, int y, QPoint screen) override;

    // ---- the designer's help lines ----
    // (Re)creates the four guides on form, placed at (120, 4), (30, 4), (4, 50) and (4, 200) with
    // size 10 x 20, and the four help lines: header lines 0 and 1 and footer lines 2 and 3,
    // lines 0 and 2 continuing the guide at 30, lines 1 and 3 the guide at 120.
    static void CreateHelpLines(TObjectgenerator* designer, TDynDBForm* form,
                                std::array<TDynMarginPanel*, 4>& guides, std::array<TGridLine*, 4>& lines);
    // Frees the guides (with their lines) and the help lines.
    static void FreeHelpLines(std::array<TDynMarginPanel*, 4>& guides, std::array<TGridLine*, 4>& lines);

protected:
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void TakeLineOffsets();
    void ShowPositionText();
    void CloseEditor();
    QPointer<QLineEdit> editor_;
};
