#include "content/Lineal.h"
#include "designer/BImage.h"
#include "designer/Objectgenerator.h"
#include "objects/DynDBForm.h"
#include "objects/RScrollBox.h"
#include "shell/Variable.h"
#include <QFontMetrics>

namespace {
TPanel* NewMarker(TLineal* ruler, int left, int top, int width, int height, const QString& caption)
{
    auto* m = new TPanel(ruler, ruler);
    m->BevelInner = m->BevelOuter = TBevelCut::bvNone;
    m->BevelWidth = 1;
    m->SetColor(clRed);
    m->SetCaption(caption);
    m->SetBounds(left, top, width, height);
    m->setAttribute(Qt::WA_TransparentForMouseEvents);
    m->show();
    return m;
}
} // namespace

TLineal::TLineal(TComponent* owner, QWidget* parent) : TPanel(owner, parent)
{
    hide();
    BevelInner = BevelOuter = TBevelCut::bvNone;
    BevelWidth = 1;
    BorderStyle = TBorderStyle::bsNone;
    SetCaption(QString());
    ScaleImage = new TBImage(this);
    ScaleImage->show();
    XMarker = NewMarker(this, 100, 2, 1, 16, QStringLiteral(" "));
    YMarker = NewMarker(this, 4, 20, 16, 1, QString());
}

TLineal::~TLineal()
{
    // A ruler that goes with the page it lies on leaves no trace in the designer.
    if (TheDesigner)
        for (TLineal*& r : TheDesigner->Rulers)
            if (r == this)
                r = nullptr;
}

void TLineal::SetOrientation(quint8 orientation)
{
    Orientation = orientation;
    Thickness = orientation == 0 ? HorizontalThickness : VerticalThickness;
}

int TLineal::PartnerWidth() const
{
    return Partner ? Partner->Width() : 0;
}

int TLineal::PartnerHeight() const
{
    return Partner ? Partner->Height() : 0;
}

void TLineal::FitToForm()
{
    const TDynDBForm* form = CurrentForm;
    if (!form)
        return;
    if (Orientation == 0)
        SetBounds(Left(), 0, form->Width() + PartnerWidth(), Thickness);
    else
        SetBounds(Left(), PartnerHeight(), Thickness, form->Height());
}

int TLineal::TickPosition(int n) const
{
    if (Orientation == 0)
        return RoundHalfEven(n * PixelsPerMmX * ZoomFactor) + PartnerWidth();
    return RoundHalfEven(n * PixelsPerMmY * ZoomFactor);
}

void TLineal::DrawScale()
{
    FitToForm();
    if (ZoomFactor <= 0.3) {
        // Too small for a scale: the background only.
        ScaleImage->EnsureSize(Width(), Height());
        TCanvas& c = ScaleImage->Canvas();
        c.Brush = TBrush{Color(), bsSolid};
        c.FillRect(ClientRect());
        ScaleImage->Present();
        return;
    }
    delete ScaleImage;
    ScaleImage = new TBImage(this);
    ScaleImage->EnsureSize(Width(), Height());
    ScaleImage->lower(); // the markers stay in front of the scale
    ScaleImage->show();

    const int step = ZoomFactor >= 1.0 ? 1 : 2;
    const bool numbers = ZoomFactor > 0.5;
    const int formWidth = CurrentForm ? CurrentForm->Width() : 0;
    const int formHeight = CurrentForm ? CurrentForm->Height() : 0;
    TCanvas& c = ScaleImage->Canvas();
    c.Pen = TPen{clBlack, 1, psSolid, TPenMode::pmCopy};
    c.Brush = TBrush{Color(), bsSolid};
    c.FillRect(ClientRect());
    c.Font.Name = QStringLiteral("SmalFont");
    c.Font.Color = clBlack;
    c.Font.SetSize(6);
    const int h = Height(), w = Width();
    if (Orientation == 0) {
        // Numbers are centred on their tick by the width the ruler's own font gives them.
        const QFontMetrics panelMetrics(Font().ToQFont());
        const int y0 = h - 8;
        const int end = formWidth + PartnerWidth();
        for (int n = 0, x = TickPosition(0); x < end; n += step, x = TickPosition(n)) {
            if (n % 5 != 0) {
                c.Pen.Color = clSilver;
                c.MoveTo(x, y0 + 2);
                c.LineTo(x, h);
            } else {
                c.Pen.Color = clBlack;
                c.MoveTo(x, y0);
                c.LineTo(x, h);
                if (numbers) {
                    const QString text = QString::number(n);
                    c.TextOut(x - panelMetrics.horizontalAdvance(text) / 2, y0 - 8, text);
                }
            }
        }
    } else {
        const int x0 = w - 8;
        for (int n = 0, y = 0; y < formHeight; n += step, y = TickPosition(n)) {
            if (n % 5 != 0 || n == 0) {
                c.MoveTo(x0 + 6, y);
                c.LineTo(w, y);
            } else {
                c.Pen.Color = clBlack;
                c.MoveTo(x0, y);
                c.LineTo(w, y);
                if (numbers)
                    c.TextOut(x0 - 12, y - 6, QString::number(n));
            }
        }
    }
    ScaleImage->Present();
}

void TLineal::ShowPosition(int x, int y)
{
    if (Orientation == 0)
        XMarker->move(x + PartnerWidth(), XMarker->y());
    else
        YMarker->move(YMarker->x(), y);
}

void TLineal::ShowRulers(std::array<TLineal*, 2>& rulers, TComponent* owner, TDynForm* form)
{
    if (!form)
        return;
    QWidget* place = form->parentWidget();
    for (int i = 0; i < 2; ++i) {
        if (!rulers[size_t(i)])
            rulers[size_t(i)] = new TLineal(owner, place);
        else if (rulers[size_t(i)]->parentWidget() != place)
            rulers[size_t(i)]->SetParent(place);
        rulers[size_t(i)]->SetOrientation(quint8(i));
    }
    TLineal* horizontal = rulers[0];
    TLineal* vertical = rulers[1];
    horizontal->Partner = vertical;
    vertical->Partner = horizontal;
    horizontal->SetBounds(0, 0, form->Width(), HorizontalThickness);
    vertical->SetBounds(0, horizontal->Height(), VerticalThickness, form->Height());
    // The form moves beside the rulers, and the scroll area makes room for them.
    form->move(vertical->Width(), horizontal->Height());
    if (form->ScrollBox)
        form->ScrollBox->FitSurface(form->Width() + vertical->Width(), form->Height() + horizontal->Height());
    for (TLineal* r : rulers) {
        r->SetColor(DesignerColor);
        r->show();
        r->BringToFront();
        r->DrawScale();
    }
}

void TLineal::FreeRulers(std::array<TLineal*, 2>& rulers, TDynForm* form)
{
    for (TLineal*& r : rulers) {
        delete r;
        r = nullptr;
    }
    if (form) {
        form->move(0, 0);
        if (form->ScrollBox)
            form->ScrollBox->FitSurface(form->Width(), form->Height());
    }
}

void TLineal::ShowPositionOn(const std::array<TLineal*, 2>& rulers, int x, int y)
{
    for (TLineal* r : rulers)
        if (r)
            r->ShowPosition(x, y);
}

QPoint TLineal::PositionOnForm(const QWidget* object, int left, int top, const QWidget* form)
{
    QPoint p(left, top);
    for (const QWidget* w = object ? object->parentWidget() : nullptr; w; w = w->parentWidget()) {
        if (w == form)
            return p;
        p += w->pos();
    }
    return QPoint(left, top);
}
