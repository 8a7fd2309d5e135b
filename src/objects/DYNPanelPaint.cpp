// Painting of the common object onto its own surface, a preview page or the printer,
// and its background picture.
#include "designer/BImage.h"
#include "objects/BilderListe.h"
#include "objects/Borderdraw.h"
#include "objects/DYNPanel.h"
#include "objects/DesignerLink.h"
#include "objects/ProjectContext.h"
#include "platform/Printer.h"
#include "platform/Screen.h"
#include "shell/Variable.h"
#include <QFileInfo>
#include <QFontMetrics>

TCanvas* TDynPanel::SurfaceCanvas()
{
    auto* c = dynamic_cast<TDYNSimpelPanel*>(Container);
    return c ? &c->Background->Canvas() : nullptr;
}

void TDynPanel::ComputePaintGeometry(TCanvas& canvas)
{
    if (PaintingForOutput) {
        if (canvas.IsPrinter()) {
            ScaleX = double(TPrinter::Get().DpiX()) / TScreen::PixelsPerInch();
            ScaleY = double(TPrinter::Get().DpiY()) / TScreen::PixelsPerInch();
        } else {
            ScaleX = ScaleY = 1.0;
        }
        PaintCanvas = &canvas;
        if (KindInfo.Code == kcDBForm) {
            PrintOffsetX = PrintOffsetY = 0;
        } else if (TDynPanel* c = ContainerObject()) {
            PrintOffsetX = c->PrintOffsetX + (c->KindInfo.Code == kcDBForm ? 0 : c->pleft);
            PrintOffsetY = c->PrintOffsetY + (c->KindInfo.Code == kcDBForm ? 0 : c->ptop);
        } else {
            PrintOffsetX = PrintOffsetY = 0;
        }
        const TRect lb = BorderFrame->LogicalRect();
        const Int32 ownLeft = KindInfo.Code == kcDBForm ? 0 : pleft;
        const Int32 ownTop = KindInfo.Code == kcDBForm ? 0 : ptop;
        CanvasBorder.Left = RoundHalfEven((lb.Left + ownLeft + PrintOffsetX) * ScaleX);
        CanvasBorder.Top = RoundHalfEven((lb.Top + ownTop + PrintOffsetY) * ScaleY);
        CanvasBorder.Right = CanvasBorder.Left + RoundHalfEven(ScaleX * BorderFrame->LogicalWidth);
        CanvasBorder.Bottom = CanvasBorder.Top + RoundHalfEven(ScaleY * BorderFrame->LogicalHeight);
        CanvasBorderPixels = RoundHalfEven(ScaleX * BorderWidth);
        CanvasMargins = TRect(RoundHalfEven(MarginLeft * ScaleX), RoundHalfEven(MarginTop * ScaleY),
                              RoundHalfEven(MarginRight * ScaleX), RoundHalfEven(MarginBottom * ScaleY));
        if (Content) {
            CanvasContent.Left = RoundHalfEven(ScaleX * ContentLeft);
            CanvasContent.Top = RoundHalfEven(ScaleY * ContentTop);
            CanvasContent.Right = CanvasContent.Left + RoundHalfEven(ScaleX * ContentWidth);
            CanvasContent.Bottom = CanvasContent.Top + RoundHalfEven(ScaleY * ContentHeight);
        }
    } else {
        if (KindInfo.Code != kcGraphik) {
            if (!Background->EnsureSize(Width(), Height()))
                Background->Canvas().FillRect(TRect(0, 0, Width(), Height()));
        }
        PaintCanvas = &canvas;
        ScaleX = ScaleY = 1.0;
        CanvasBorder = BorderFrame->PixelRect();
        CanvasContentFrame = ContentFrame->PixelRect().Translated(Left(), Top());
        CanvasBorderPixels = BorderPixels;
        CanvasMargins = TRect(MarginLeftPixels, MarginTopPixels, MarginRightPixels, MarginBottomPixels);
        if (Content)
            CanvasContent = TRect(ContentLeft, ContentTop, ContentLeft + ContentWidth, ContentTop + ContentHeight);
    }
    PaintRect = CanvasBorder;
    if (KindInfo.Code == kcDBForm)
        ClipRect = CanvasBorder;
}

void TDynPanel::ClipToContainer(TCanvas& canvas)
{
    if (KindInfo.Code == kcDBForm || ContainerIsHost() || IsOwnSurface(canvas))
        return;
    canvas.SetClipRect(ContainerObject()->PaintRect);
}

void TDynPanel::PaintPicture(TCanvas& canvas)
{
    if (!Picture || !Picture->IsBitmap())
        return;
    canvas.StretchDraw(FillRect, Picture->Bitmap);
}

void TDynPanel::PaintBody(TCanvas& canvas)
{
    PaintCanvas = &canvas;
    ComputePaintGeometry(canvas);
    if (KindInfo.Code == kcGraphik || KindInfo.Code == kcBarCode)
        return;
    InnerBorderPixels = (DoubleBorder && CanvasBorderPixels > 2) ? RoundHalfEven(CanvasBorderPixels / 3.0)
                                                                 : CanvasBorderPixels;
    TBorderDraw border(this);
    border.Setup(DoubleBorder, BorderSides);
    FillRect = border.Layout(CanvasBorderPixels, CanvasBorder.Left, CanvasBorder.Top, CanvasBorder.Right,
                             CanvasBorder.Bottom);
    InnerRect = InsetBySides(BorderSides, PaintRect, CanvasBorderPixels);

    const bool ownSurface = IsOwnSurface(canvas);
    capturedBackground_ = QImage();
    if (Transparent && ownSurface && PictureFile.isEmpty() && !ContainerIsHost()) {
        // What the container shows under the content frame, to paint it as our background.
        auto* c = dynamic_cast<TDYNSimpelPanel*>(Container);
        c->Background->Canvas().EndPaint();
        capturedBackground_ = c->Background->Image().copy(CanvasContentFrame.ToQRect());
    }
    ClipToContainer(canvas);

    if (!PictureFile.isEmpty()) {
        if (Picture && ShowContent)
            PaintPicture(canvas);
    } else {
        canvas.Brush.Style = static_cast<TBrushStyle>(BrushStyle);
        const TColor saved = canvas.Brush.Color;
        if (Transparent) {
            if (ownSurface && !ContainerIsHost() && !capturedBackground_.isNull())
                canvas.Draw(FillRect.Left, FillRect.Top, capturedBackground_);
        } else if (Hatched) {
            canvas.Brush.Color = clBlack;
            canvas.BackgroundColor = BackColor;
            canvas.FillRect(FillRect);
            canvas.Brush.Color = saved;
        } else {
            canvas.Brush.Color = BackColor;
            canvas.BackgroundColor = clBlack;
            canvas.FillRect(FillRect);
            canvas.BackgroundColor = BackColor;
        }
        capturedBackground_ = QImage();
    }
    border.Draw(canvas, BackColor, BorderColor);
    canvas.Brush.Style = bsSolid;
    if (KindInfo.Code == kcDBForm && ownSurface)
        PaintOwnAdditions(canvas);
    if (!ownSurface)
        canvas.ClearClip();
}

void TDynPanel::Repaint()
{
    PaintBody(Background->Canvas());
    Background->Present();
}

void TDynPanel::PaintTo(TCanvas& canvas)
{
    PaintBody(canvas);
    if (IsOwnSurface(canvas))
        Background->Present();
}

void TDynPanel::DrawText(const QString& text)
{
    if (text.isEmpty() || !PaintCanvas)
        return;
    TCanvas& c = *PaintCanvas;
    c.Brush.Style = bsClear;
    c.Font = Font();
    if (!IsOwnSurface(c))
        c.Font.SetSize(LogicalFontSize);
    c.TextRect(PaintRect, CanvasBorder.Left + CanvasContent.Left + 2, CanvasBorder.Top + CanvasContent.Top + 2, text);
    c.Brush.Style = bsSolid;
    c.Font = Font();
}

void TDynPanel::DrawAlignedText(TCanvas& canvas, const TRect& rect, int brushStyle, int alignment, const TFont& font,
                                const QString& text)
{
    if (text.isEmpty())
        return;
    canvas.Brush.Style = static_cast<TBrushStyle>(brushStyle);
    canvas.Font = font;
    const int y = rect.Top + (rect.Height() - std::abs(font.Height())) / 2;
    int x;
    if (alignment == 1)
        x = (rect.Left + rect.Right) / 2 - canvas.TextWidth(text) / 2;
    else if (alignment == 2)
        x = rect.Right - canvas.TextWidth(text) - 4;
    else
        x = rect.Left + 2;
    canvas.TextRect(rect, x, y, text);
}

// ---- picture ----

void TDynPanel::ReleasePicture()
{
    TBKImage* p = Picture;
    Picture = nullptr;
    PictureFile.clear();
    if (TBilderList* list = ProjectContext().Pictures; list && list->Contains(p))
        list->ReleaseUse(p);
    else if (p)
        p->UseCount = std::max(0, p->UseCount - 1);
}

void TDynPanel::TogglePicture(const QString& fileName)
{
    if (Picture) {
        ReleasePicture();
        if (auto* d = Designer())
            d->RefillPictureChooser();
    } else if (QFileInfo::exists(fileName)) {
        TBilderList* list = ProjectContext().Pictures;
        TBKImage* entry = list ? list->LoadPicture(fileName) : nullptr;
        if (entry) {
            Picture = entry;
            ++entry->UseCount;
            PictureFile = entry->FileName;
            entry->ShortName = QFileInfo(fileName).fileName();
            if (KindInfo.Code != kcDBForm && entry->Width() > 0 && entry->Height() > 0) {
                AspectRatio = entry->Height() < Width() ? double(entry->Height()) / entry->Width()
                                                         : double(entry->Width()) / entry->Height();
                if (KeepAspect)
                    SetHeight(2 * BorderPixels + RoundHalfEven((Width() - 2 * BorderPixels) * AspectRatio));
            }
        }
    }
    UpdateLayout();
}
