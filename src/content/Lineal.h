#pragma once
// TLineal: the ruler beside the form in design. While rulers are switched on the designer keeps
// two: a horizontal one above the form (18 pixels high) and a vertical one to its left (22 pixels
// wide). Each shows a millimetre scale at the current zoom and a red marker that follows the
// mouse over the form or the object being moved.
//
// Both rulers lie on the form's parent together with the form: the horizontal ruler at (0, 0)
// spans the vertical ruler and the form, the vertical ruler starts below it, and the form sits
// at (vertical ruler's width, horizontal ruler's height).
#include "platform/Panel.h"
#include <QPointer>
#include <array>

class TBImage;
class TDynForm;

class TLineal : public TPanel {
    Q_OBJECT
public:
    static constexpr int HorizontalThickness = 18;
    static constexpr int VerticalThickness = 22;

    // A hidden ruler on parent.
    TLineal(TComponent* owner, QWidget* parent);
    ~TLineal() override;

    // 0 horizontal ruler (above the form), 1 vertical ruler (left of the form).
    quint8 Orientation = 0;
    // The horizontal ruler's height, the vertical ruler's width.
    Int32 Thickness = HorizontalThickness;
    // The drawing surface covering the ruler; made anew by every redraw.
    TBImage* ScaleImage = nullptr;
    // Red position marks: the horizontal ruler moves its XMarker, the vertical one its YMarker.
    TPanel* XMarker = nullptr;
    TPanel* YMarker = nullptr;
    // The other ruler of the pair.
    QPointer<TLineal> Partner;

    void SetOrientation(quint8 orientation);
    // Horizontal: (Left, 0, current form's width + vertical ruler's width, Thickness);
    // vertical: (Left, horizontal ruler's height, Thickness, current form's height).
    virtual void FitToForm();
    // Redraws the scale at the current zoom.
    void DrawScale();
    // Moves this ruler's marker to a point given in the form's pixels.
    void ShowPosition(int x, int y);

    // The x (horizontal ruler) or y (vertical ruler) of millimetre n at the current zoom.
    int TickPosition(int n) const;

    // ---- the pair of rulers the designer keeps (horizontal, vertical) ----
    // Creates the missing rulers beside form, places them in DesignerColor, shows them in
    // front and draws their scales. The form moves beside them.
    static void ShowRulers(std::array<TLineal*, 2>& rulers, TComponent* owner, TDynForm* form);
    // Frees both rulers; the form (when given) moves back to the corner.
    static void FreeRulers(std::array<TLineal*, 2>& rulers, TDynForm* form);
    // Moves both markers to a point of the form.
    static void ShowPositionOn(const std::array<TLineal*, 2>& rulers, int x, int y);
    // A position given in the coordinates of object's container, in the pixels of the form:
    // the Left and Top of every container up to the form are added.
    static QPoint PositionOnForm(const QWidget* object, int left, int top, const QWidget* form);

private:
    int PartnerWidth() const;
    int PartnerHeight() const;
};
