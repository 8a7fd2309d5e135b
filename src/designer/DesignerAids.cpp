// The designer's aids: the rulers beside the form in design and the help lines on it.
#include "content/DynMarginPanel.h"
#include "content/GridLine.h"
#include "content/Lineal.h"
#include "designer/Objectgenerator.h"
#include "objects/DynDBForm.h"
#include "shell/Variable.h"

void TObjectgenerator::SetRulers(bool on, bool fromRow)
{
    RulersVisible = on;
    TDynDBForm* form = CurrentForm;
    if (on) {
        if (!form)
            return; // they appear with the next form in design
        TLineal::ShowRulers(Rulers, this, form);
    } else {
        TLineal::FreeRulers(Rulers, form);
    }
    if (fromRow && form)
        form->SetZoom(-1);
}

void TObjectgenerator::SetHelpLines(bool on)
{
    HelpLinesVisible = on;
    if (on && CurrentForm)
        TDynMarginPanel::CreateHelpLines(this, CurrentForm, HelpLineGuides, HelpLines);
    else
        TDynMarginPanel::FreeHelpLines(HelpLineGuides, HelpLines);
}

void TObjectgenerator::RulersFollow(int left, int top, int, int)
{
    // The markers follow a moved object only at zoom 1, where form pixels are ruler pixels.
    if (!Rulers[0] || !Rulers[1] || ZoomFactor != 1.0)
        return;
    const QPoint p = TLineal::PositionOnForm(SelectedObject, left, top, CurrentForm);
    TLineal::ShowPositionOn(Rulers, p.x(), p.y());
}
