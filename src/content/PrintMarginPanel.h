#pragma once
// TDynPrintMarginPanel: one of the four strips that show the printer's unprintable margins on a
// form. A plain rectangle, not a control; the form places it in its own pixels (SetBounds) and
// paints it after its content.
#include "objects/RahmenRect.h"

class TCanvas;
class TDynForm;

class TDynPrintMarginPanel : public TRahmenRect {
public:
    explicit TDynPrintMarginPanel(TDynForm* form);

    TDynForm* Form = nullptr;
    TColor StripColor = 0xEEEEEE;
    TRect PaintRect; // the last painted rectangle in target pixels

    // Fills the strip with its colour at the form's paint scales. On a preview page or the
    // printer the form is painted at its logical size, so the strip's pixel bounds are taken
    // back to zoom 1 first.
    void Paint(TCanvas& canvas);
};
