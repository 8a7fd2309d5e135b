#include "content/PrintMarginPanel.h"
#include "objects/DynForm.h"
#include "platform/Canvas.h"
#include "shell/Variable.h"
#include <cmath>

TDynPrintMarginPanel::TDynPrintMarginPanel(TDynForm* form) : TRahmenRect(form), Form(form) {}

void TDynPrintMarginPanel::Paint(TCanvas& canvas)
{
    double sx = Form ? Form->ScaleX : 1.0;
    double sy = Form ? Form->ScaleY : 1.0;
    if (PaintingForOutput && std::isfinite(ZoomFactor) && ZoomFactor > 0.0) {
        sx /= ZoomFactor;
        sy /= ZoomFactor;
    }
    PaintRect = TRect(RoundHalfEven(Left * sx), RoundHalfEven(Top * sy), RoundHalfEven((Left + Width) * sx),
                      RoundHalfEven((Top + Height) * sy));
    const TBrush saved = canvas.Brush;
    canvas.Brush.Style = bsSolid;
    canvas.Brush.Color = StripColor;
    canvas.FillRect(PaintRect);
    canvas.Brush = saved;
}
