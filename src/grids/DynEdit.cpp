#include "grids/DynEdit.h"
#include "designer/BImage.h"
#include "objects/KindRegistry.h"
#include "platform/MemoryStream.h"
#include "shell/Variable.h"
#include <QPalette>
#include <stdexcept>

// ---- the hosted edit ----

TLEdit::TLEdit(QWidget* parent) : QLineEdit(parent)
{
    setFrame(false);
    // A line edit keeps two pixels on either side of its text; the object gives it only one,
    // so that an edit of text width + 2 shows its whole text without scrolling.
    setTextMargins(-1, 0, -2, 0);
    setAutoFillBackground(true);
    setEnabled(true);
    if (auto* panel = dynamic_cast<TPanel*>(parent))
        SetEditFont(panel->Font());
    SetColor(clWhite);
}

void TLEdit::SetEditFont(const TFont& font)
{
    font_ = font;
    setFont(font.ToQFont());
    QPalette p = palette();
    p.setColor(QPalette::Text, ToQColor(font.Color));
    setPalette(p);
}

void TLEdit::SetColor(TColor color)
{
    color_ = color;
    QPalette p = palette();
    p.setColor(QPalette::Base, ToQColor(color));
    p.setColor(QPalette::Window, ToQColor(color));
    setPalette(p);
}

// ---- the edit field ----

TDynEdit::TDynEdit(TComponent* owner, QWidget* parent) : TDynRichEdit(owner, parent)
{
    KindInfo = KindByCode(kcEdit);
    Name = KindInfo.Name + NumberText;
    SetHint(Name);
    SetCaption(QString());
    PropertySet = PropertySets::EditLabel();
    CollectPropertyRows();
    Interaction = ibAll;
    VAlign = HAlign = 1;
    Edit = new TLEdit(this);
    Content = Edit;
    Edit->setText(QStringLiteral("Text"));
    connect(Edit, &QLineEdit::textChanged, this, [this] { MeasureContent(); });
    MeasureContent();
    Edit->show();
}

TDynEdit::~TDynEdit()
{
    Content = nullptr;
    delete Edit;
    Edit = nullptr;
}

void TDynEdit::SizeEdit()
{
    const QString text = Edit->text();
    if (text.isEmpty()) {
        Edit->resize(0, 0);
    } else {
        // Measured on the object's drawing surface, in the edit's font.
        TCanvas& c = Background->Canvas();
        c.Font = Edit->EditFont();
        Edit->resize(c.TextWidth(text) + 2, c.TextHeight(text) + 2);
    }
    ContentWidth = ToLogical(Edit->width());
    ContentHeight = ToLogical(Edit->height());
}

void TDynEdit::MeasureContent()
{
    SizeEdit();
    PlaceContent();
}

void TDynEdit::SetContentColor(TColor color)
{
    TDynRichEdit::SetContentColor(color);
    Edit->SetColor(color);
}

void TDynEdit::SetObjectName(const QString& name)
{
    TDynRichEdit::SetObjectName(name);
    Edit->setText(name);
}

void TDynEdit::UpdateLayout()
{
    if (Loading)
        return;
    SizeEdit();
    TDynRichEdit::UpdateLayout();
}

void TDynEdit::SetObjectFont(const TFont& font)
{
    // The object's font at the zoomed size; the edit takes the same font.
    TDynRichEdit::SetObjectFont(font);
    Edit->SetEditFont(Font());
    MeasureContent();
}

void TDynEdit::Activate()
{
    // An edit field is no container: it only becomes the selected object.
    SelectedObject = this;
}

void TDynEdit::ApplyZoom(double factor)
{
    const Int32 size = RoundHalfEven(LogicalFontSize * factor);
    if (size > 0) {
        TFont f = Font();
        f.SetSize(size);
        SetFont(f);
        Edit->SetEditFont(f);
    }
    TDynRichEdit::ApplyZoom(factor);
    // Measured and placed in the zoomed frames.
    MeasureContent();
}

void TDynEdit::PaintTo(TCanvas& canvas)
{
    MeasureContent();
    TDynRichEdit::PaintTo(canvas);
    // On screen the edit shows itself; previews and paper get its text drawn.
    if (IsOwnSurface(canvas) || !Edit->isEnabled() || Edit->text().isEmpty())
        return;
    try {
        PaintCanvas = &canvas;
        DrawText(Edit->text());
    } catch (const std::exception&) {
        // A value that cannot be drawn is left out of the page.
    }
}

// ---- record ----

void TDynEdit::SaveEntry()
{
    TDynRichEdit::SaveToStream();
    WriteText(Stream(), Edit->text());
    CloseRecord();
}

void TDynEdit::LoadEntry()
{
    TDynRichEdit::LoadFromStream();
    const QString text = ReadText(Stream());
    // The record holds the logical font size; the object and the edit show the zoomed one.
    const Int32 size = RoundHalfEven(LogicalFontSize * ZoomFactor);
    TFont f = Font();
    if (size > 0)
        f.SetSize(size);
    SetFont(f);
    Edit->SetEditFont(f);
    Edit->setText(text);
    MeasureContent();
}

namespace {
const TKindRegistrar EditKind(PanelKind<TDynEdit>(
    kcEdit, [](TDynEdit& o) { o.SaveEntry(); }, [](TDynEdit& o) { o.LoadEntry(); }));
} // namespace
