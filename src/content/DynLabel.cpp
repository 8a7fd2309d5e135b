#include "content/DynLabel.h"
#include "designer/BImage.h"
#include "objects/KindRegistry.h"
#include "platform/MemoryStream.h"
#include "shell/Variable.h"

// ---- the text record ----

TLLabel::TLLabel(QWidget* label) : QWidget(label)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    hide();
    Sync();
}

void TLLabel::Sync()
{
    setGeometry(Left, Top, std::max(0, Width), std::max(0, Height));
}

// ---- the label ----

TDynLabel::TDynLabel(TComponent* owner, QWidget* parent) : TDynRichEdit(owner, parent)
{
    LabelRecord = new TLLabel(this);
    KindInfo = KindByCode(kcLabel);
    Name = KindInfo.Name + NumberText;
    SetHint(Name);
    HAlign = VAlign = 1;
    ShowContent = true;
    Content = LabelRecord;
    PropertySet = PropertySets::EditLabel();
    CollectPropertyRows();
    PreferredWidth = PreferredHeight = 2 * BorderPixels + 2;
    StoreLogicalBounds();
    MeasureContent();
}

TDynLabel::~TDynLabel()
{
    Content = nullptr;
    delete LabelRecord;
    LabelRecord = nullptr;
}

void TDynLabel::SetText(const QString& text)
{
    LabelRecord->Text = text;
    MeasureContent();
}

void TDynLabel::ToggleShowContent()
{
    ShowContent = !ShowContent;
    if (ShowContent)
        MeasureContent();
    Repaint();
}

void TDynLabel::MeasureContent()
{
    TLLabel& r = *LabelRecord;
    if (r.Text.isEmpty()) {
        r.Width = r.Height = 0;
        r.Sync();
        return;
    }
    // The own surface's canvas carries the zoomed font.
    TCanvas& c = Background->Canvas();
    c.Font = Font();
    r.Width = c.TextWidth(r.Text) + 2;
    r.Height = c.TextHeight(r.Text) + 2;
    ContentHeight = ToLogical(r.Height);
    ContentWidth = ToLogical(r.Width);
    PlaceContent();
}

void TDynLabel::PlaceContent()
{
    if (Centered && Container) {
        SetLeft((Container->width() - Width()) / 2);
        pleft = ToLogical(Left());
    }
    TLLabel& r = *LabelRecord;
    const TRect cf = ContentFrame->PixelRect();
    if (HAlign == 0)
        r.Left = cf.Left + 1;
    else if (HAlign == 2)
        r.Left = cf.Right - r.Width - 3;
    else
        r.Left = cf.Left + (cf.Width() - r.Width) / 2;
    // Bottom alignment counts from the content bottom less the content top.
    if (VAlign == 0)
        r.Top = cf.Top;
    else if (VAlign == 2)
        r.Top = cf.Bottom - cf.Top - r.Height;
    else
        r.Top = cf.Top + (cf.Height() - r.Height) / 2;
    r.Sync();
    ContentLeft = ToLogical(r.Left);
    ContentTop = ToLogical(r.Top);
    ContentWidth = ToLogical(r.Width);
    ContentHeight = ToLogical(r.Height);
    PreferredWidth = r.Width + 2 * BorderPixels;
    PreferredHeight = r.Height + 2 * BorderPixels;
}

void TDynLabel::ZoomFont(double factor)
{
    const Int32 size = RoundHalfEven(LogicalFontSize * factor);
    if (size <= 0)
        return;
    TFont f = Font();
    f.SetSize(size);
    SetFont(f);
}

void TDynLabel::SetObjectFont(const TFont& font)
{
    // The text is measured again in the new font before it is painted.
    TDynRichEdit::SetObjectFont(font);
    MeasureContent();
    Repaint();
}

void TDynLabel::ApplyZoom(double factor)
{
    TDynRichEdit::ApplyZoom(factor);
    ZoomFont(factor);
    MeasureContent();
    Repaint();
}

void TDynLabel::SetPixelContentPosition()
{
    CanvasContent.Left = RoundHalfEven(ContentLeft * ZoomFactor);
    CanvasContent.Top = RoundHalfEven(ContentTop * ZoomFactor);
    CanvasContent.Right = CanvasContent.Left + LabelRecord->Width;
    CanvasContent.Bottom = CanvasContent.Top + LabelRecord->Height;
}

void TDynLabel::Repaint()
{
    TDynRichEdit::Repaint();
    PaintCanvas = &Background->Canvas();
    SetPixelContentPosition();
    if (ShowContent)
        DrawText(Text());
    Background->Present();
}

void TDynLabel::PaintTo(TCanvas& canvas)
{
    if (ShowContent)
        MeasureContent();
    TDynRichEdit::PaintTo(canvas);
    PaintCanvas = &canvas;
    // On the own surface the text goes to its pixel position; pages take the scaled logical one.
    if (!PaintingForOutput)
        SetPixelContentPosition();
    if (ShowContent)
        DrawText(Text());
    if (IsOwnSurface(canvas))
        Background->Present();
}

// ---- record ----

void TDynLabel::SaveToStream()
{
    TDynRichEdit::SaveToStream();
    WriteText(Stream(), Text());
    WriteFieldBool(ShowContent);
}

void TDynLabel::LoadFromStream()
{
    TDynRichEdit::LoadFromStream();
    LabelRecord->Text = ReadText(Stream());
    // A record written before the flag existed shows its text.
    ShowContent = true;
    ReadFieldBool(ShowContent);
    // The record holds the logical font size; on screen the label shows the zoomed font, and
    // its text is measured in it so that it is placed right from the first paint.
    ZoomFont(ZoomFactor);
    MeasureContent();
}

namespace {
// The label's record is closed after its own fields.
const TKindRegistrar LabelKind(PanelKind<TDynLabel>(
    kcLabel,
    [](TDynLabel& o) {
        o.SaveToStream();
        o.CloseRecord();
    },
    [](TDynLabel& o) { o.LoadFromStream(); }));
} // namespace
