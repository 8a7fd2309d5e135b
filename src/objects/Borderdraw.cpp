#include "objects/Borderdraw.h"
#include "objects/BorderSides.h"
#include "platform/Canvas.h"

TBorderDraw::TBorderDraw(TComponent* owner) : TComponent(owner) {}

void TBorderDraw::Setup(bool dbl, int sidesCode)
{
    Double = dbl;
    SidesCode = sidesCode;
    OuterLeft.Visible = SideHasBorder(sidesCode, sLeft);
    OuterTop.Visible = SideHasBorder(sidesCode, sTop);
    OuterRight.Visible = SideHasBorder(sidesCode, sRight);
    OuterBottom.Visible = SideHasBorder(sidesCode, sBottom);
    InnerLeft.Visible = dbl && OuterLeft.Visible;
    InnerTop.Visible = dbl && OuterTop.Visible;
    InnerRight.Visible = dbl && OuterRight.Visible;
    InnerBottom.Visible = dbl && OuterBottom.Visible;
}

TRect TBorderDraw::Layout(int width, int l, int t, int r, int b)
{
    const int w = width;
    const int i = w < 3 ? w : RoundHalfEven(w / 3.0);
    InnerWidth = i;
    LineWidth = w;

    if (Double) {
        InnerLeft.SetRect(l + i, t + i, l + 2 * i, b - i);
        InnerTop.SetRect(l + i, t + i, r - i, t + 2 * i);
        InnerRight.SetRect(r - 2 * i, t + i, r - i, b - i);
        InnerBottom.SetRect(l + i, b - 2 * i, r - i, b - i);
        // Where a stripe meets a side without border it runs out to the edge.
        switch (SidesCode) {
        case 1:
            InnerTop.Left = l;
            InnerTop.Right = r;
            break;
        case 2:
            InnerBottom.Left = l;
            InnerBottom.Right = r;
            break;
        case 3:
            InnerTop.Left = InnerBottom.Left = l;
            InnerTop.Right = InnerBottom.Right = r;
            break;
        case 5:
            InnerLeft.Top = t;
            InnerLeft.Bottom = b;
            break;
        case 6:
            InnerRight.Top = t;
            InnerRight.Bottom = b;
            break;
        case 7:
            InnerLeft.Top = InnerRight.Top = t;
            InnerLeft.Bottom = InnerRight.Bottom = b;
            break;
        case 8:
            InnerLeft.Bottom = InnerRight.Bottom = b;
            break;
        case 9:
            InnerLeft.Top = InnerRight.Top = t;
            break;
        case 10:
            InnerTop.Left = InnerBottom.Left = l;
            break;
        case 11:
            InnerTop.Right = InnerBottom.Right = r;
            break;
        default:
            break;
        }
    }

    OuterLeft.SetRect(l, t, l + w, b);
    OuterTop.SetRect(l, t, r, t + w);
    OuterRight.SetRect(r - w, t, r, b);
    OuterBottom.SetRect(l, b - w, r, b);

    return {OuterLeft.Visible ? l + w : l, OuterTop.Visible ? t + w : t,
            OuterRight.Visible ? r - w : r, OuterBottom.Visible ? b - w : b};
}

void TBorderDraw::Draw(TCanvas& canvas, TColor backColor, TColor borderColor)
{
    // The lines are plain fills whatever pattern the object's background used; the
    // pattern is given back afterwards.
    const TBrushStyle style = canvas.Brush.Style;
    canvas.Brush.Style = bsSolid;
    canvas.Brush.Color = borderColor;
    for (const TBorderRect* r : {&OuterLeft, &OuterTop, &OuterRight, &OuterBottom})
        if (r->Visible)
            canvas.FillRect(r->Rect());
    canvas.Brush.Color = backColor;
    if (Double)
        for (const TBorderRect* r : {&InnerLeft, &InnerTop, &InnerRight, &InnerBottom})
            if (r->Visible)
                canvas.FillRect(r->Rect());
    canvas.Brush.Style = style;
}
