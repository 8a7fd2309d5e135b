// The rich-text object: its hidden rich-text control, the line table, printing the lines, the
// cached text image painted over the background, and the rich-text layer of its record.
#include "objects/DynRichEdit.h"
#include "designer/BImage.h"
#include "objects/DesignerLink.h"
#include "objects/KindRegistry.h"
#include "objects/ObjectList.h"
#include "platform/MemoryStream.h"
#include "platform/Rtf.h"
#include "platform/Screen.h"
#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <cmath>

namespace {
// The control's text starts this many pixels inside its area, as in a borderless edit control.
constexpr qreal RichTextMargin = 1.0;

// The most pixels a zoomed form may have.
constexpr double MaxZoomedPixels = 4'000'000.0;

// Bytes that are text: no control characters other than tab, line feed, form feed and return.
bool LooksLikeText(const QByteArray& bytes)
{
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b < 0x20 && b != '\t' && b != '\n' && b != '\f' && b != '\r')
            return false;
    }
    return true;
}

// The image with its white turned transparent, so that drawing it over a background on devices
// without raster operations shows the same as AND-ing it onto that background would for text.
QImage WhiteToAlpha(const QImage& source)
{
    QImage out = source.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const QRgb c = line[x];
            const int r = qRed(c), g = qGreen(c), b = qBlue(c);
            const int m = std::min({r, g, b});
            const int a = 255 - m;
            if (a == 0) {
                line[x] = qRgba(0, 0, 0, 0);
                continue;
            }
            const auto unblend = [m, a](int v) { return (v - m) * 255 / a; };
            line[x] = qRgba(unblend(r), unblend(g), unblend(b), a);
        }
    }
    return out;
}
} // namespace

// ---- the control ----

TLRichEdit::TLRichEdit(QWidget* parent) : QTextEdit(parent)
{
    setFrameStyle(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setEnabled(true);
    document()->setDocumentMargin(RichTextMargin);
    SetLayoutWidth(parent ? parent->width() : 1);
    hide();
}

void TLRichEdit::SetLayoutWidth(int pixels)
{
    pixels = std::max(1, pixels);
    if (lineWrapMode() != QTextEdit::FixedPixelWidth)
        setLineWrapMode(QTextEdit::FixedPixelWidth);
    if (lineWrapColumnOrWidth() != pixels)
        setLineWrapColumnOrWidth(pixels);
}

int TLRichEdit::LineCount() const
{
    const QTextDocument* d = document();
    if (d->isEmpty())
        return 0;
    d->documentLayout()->documentSize(); // finishes the layout of the whole text
    int n = 0;
    for (QTextBlock b = d->begin(); b.isValid(); b = b.next())
        if (const QTextLayout* l = b.layout())
            n += l->lineCount();
    return n;
}

bool TLRichEdit::LoadRtf(const QByteArray& bytes)
{
    QTextDocument* d = document();
    if (bytes.isEmpty()) {
        d->clear();
    } else if (!RtfToDocument(bytes, *d)) {
        if (!LooksLikeText(bytes))
            return false;
        setPlainText(DecodeFileText(bytes));
    }
    d->clearUndoRedoStacks();
    return true;
}

QByteArray TLRichEdit::SaveRtf() const
{
    return DocumentToRtf(*document());
}

// ---- construction ----

TDynRichEdit::TDynRichEdit(TComponent* owner, QWidget* parent) : TDynMultiPanel(owner, parent)
{
    KindInfo = KindByCode(kcRichEdit);
    Name = QStringLiteral("RichEdit") + NumberText;
    Children->ListName = Name + Texts(130);
    SetCaption(QString());
    PropertySet = PropertySets::RichEdit();
    CacheInvalid = false;
    auto* container = dynamic_cast<TDynPanel*>(parent);
    const Int32 parentCode = container ? container->KindInfo.Code : kcNone;
    if (parentCode == kcGrid) {
        // A cell of a string grid: no border, only its width can be changed.
        BorderWidth = 0;
        BorderPixels = PreviousBorderPixels = 0;
        ContentFrame->SetRect(InsetBySides(BorderSides, BorderFrame->PixelRect(), BorderPixels));
        PropertySet = PropertySets::RichEditCell();
        IsGridCell = true;
        Interaction = ibSizeWidth | ibReport;
        Host = container;
        GrowWithBorder = false;
        SetHint(Name);
        CollectPropertyRows();
    } else if (parentCode != kcReport) {
        CollectPropertyRows();
    }
    StoreLogicalBounds();
    BaseTop = ptop;
    BaseLeft = pleft;
    PreviousDocking = Docking;
}

TDynRichEdit::~TDynRichEdit()
{
    // The control belongs to the object also while the text editor hosts it.
    delete RichText;
    RichText = nullptr;
}

TLRichEdit* TDynRichEdit::EnsureRichText()
{
    if (!RichText) {
        RichText = new TLRichEdit(this);
        connect(RichText, &QObject::destroyed, this, [this] { RichText = nullptr; });
        ApplyDocumentFont();
        RichText->SetLayoutWidth(ContentFrame->LogicalWidth);
        SetContentColor(BackColor);
    }
    return RichText;
}

bool TDynRichEdit::HasRichLines() const
{
    return RichText && !RichText->document()->isEmpty();
}

void TDynRichEdit::ApplyDocumentFont()
{
    if (!RichText)
        return;
    TFont f = Font();
    if (LogicalFontSize > 0)
        f.SetSize(LogicalFontSize);
    // Set on the control itself, so that the zoomed font of the object never reaches the text.
    const QFont qf = f.ToQFont();
    RichText->setFont(qf);
    RichText->document()->setDefaultFont(qf);
}

void TDynRichEdit::SetContentColor(TColor color)
{
    if (!RichText)
        return;
    QPalette pal = RichText->palette();
    pal.setColor(QPalette::Base, ToQColor(color));
    RichText->setPalette(pal);
}

void TDynRichEdit::SetObjectFont(const TFont& font)
{
    TDynMultiPanel::SetObjectFont(font);
    LogicalFontSize = font.Size();
    ApplyDocumentFont();
    if (HasRichLines())
        LayoutLines();
}

// ---- lines ----

void TDynRichEdit::LayoutLines()
{
    if (!RichText)
        return;
    RichText->SetLayoutWidth(ContentFrame->LogicalWidth);
    LinesLaidOut = true;
    LineCount = -1;
    Lines.fill(TRichLine{});
    CacheInvalid = true; // the cached image shows the old text
    QTextDocument* d = RichText->document();
    if (!d->isEmpty()) {
        QAbstractTextDocumentLayout* layout = d->documentLayout();
        layout->documentSize();
        int i = 0;
        bool full = false;
        qreal textBottom = 0;
        for (QTextBlock b = d->begin(); b.isValid() && !full; b = b.next()) {
            const QTextLayout* tl = b.layout();
            if (!tl)
                continue;
            const QPointF origin = tl->position();
            for (int j = 0; j < tl->lineCount(); ++j) {
                const QTextLine line = tl->lineAt(j);
                const int y = RoundHalfEven(origin.y() + line.y());
                // Each line is as high as the distance to the next one.
                if (i > 0)
                    Lines[size_t(i - 1)].Height = y - Lines[size_t(i - 1)].Y;
                if (i == MaxRichLines) {
                    full = true;
                    break;
                }
                TRichLine& r = Lines[size_t(i)];
                r.First = b.position() + line.textStart();
                r.End = r.First + line.textLength();
                r.X = RoundHalfEven(origin.x() + line.x());
                r.Y = y;
                ++i;
            }
            const QRectF box = layout->blockBoundingRect(b);
            textBottom = box.y() + box.height();
        }
        // The last line reaches down to the end of its paragraph.
        if (!full && i > 0)
            Lines[size_t(i - 1)].Height = RoundHalfEven(textBottom) - Lines[size_t(i - 1)].Y;
        LineCount = i - 1;
    }
    RichText->hide();
}

void TDynRichEdit::PrintLines(TCanvas& canvas)
{
    TwipsPerPixel = 1440 / std::max(1, TScreen::PixelsPerInch());
    if (!RichText || LineCount < 0)
        return;
    const bool printer = canvas.IsPrinter();
    const double sx = printer ? ScaleX : 1.0;
    const double sy = printer ? ScaleY : 1.0;
    const double x0 = printer ? (ContentFrame->LogicalLeft + pleft + PrintOffsetX) * sx : 0.0;
    const double y0 = printer ? (ContentFrame->LogicalTop + ptop + PrintOffsetY) * sy : 0.0;
    const int width = ContentFrame->LogicalWidth;
    const int height = ContentFrame->LogicalHeight;
    QAbstractTextDocumentLayout* layout = RichText->document()->documentLayout();
    QAbstractTextDocumentLayout::PaintContext context;
    context.palette.setColor(QPalette::Text, ToQColor(Font().Color));
    QPainter& p = canvas.Painter();
    for (int i = 0; i <= LineCount && i < MaxRichLines; ++i) {
        const TRichLine& line = Lines[size_t(i)];
        if (line.Y >= height)
            break;
        const QRectF box(0, line.Y, width, line.Height);
        p.save();
        p.translate(x0, y0);
        p.scale(sx, sy);
        p.setClipRect(box, p.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
        context.clip = box;
        layout->draw(&p, context);
        p.restore();
    }
}

// ---- painting ----

void TDynRichEdit::PaintRichText(TCanvas& canvas)
{
    if (!canvas.IsPrinter() || Picture || Transparent)
        PaintRichTextImage(canvas);
    else
        PrintLines(canvas);
    LinesLaidOut = false;
}

void TDynRichEdit::PaintRichTextImage(TCanvas& canvas)
{
    if (!HasRichLines())
        return;
    const int w = ContentFrame->LogicalWidth;
    const int h = ContentFrame->LogicalHeight;
    if (w <= 0 || h <= 0)
        return;
    if (CacheInvalid || TextCache.size() != QSize(w, h)) {
        CacheInvalid = false;
        TextCache = QImage(w, h, QImage::Format_RGB32);
        TextCache.fill(Qt::white);
        TCanvas cache(&TextCache, TCanvasKind::Surface);
        PrintLines(cache);
        cache.EndPaint();
    }
    QImage image = TextCache;
    if (!canvas.IsPrinter()) {
        const int zw = std::max(1, RoundHalfEven(w * ZoomFactor));
        const int zh = std::max(1, RoundHalfEven(h * ZoomFactor));
        if (zw != w || zh != h)
            image = TextCache.scaled(zw, zh, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    // AND lets the fill show through the white of the image.
    QPainter& p = canvas.Painter();
    const bool raster = p.device() && p.device()->devType() == QInternal::Image;
    if (!raster)
        image = WhiteToAlpha(image);
    canvas.CopyMode = raster ? TCopyMode::cmSrcAnd : TCopyMode::cmSrcCopy;
    ClipToContainer(canvas);
    canvas.CopyRect(InnerRect, image, TRect(0, 0, image.width(), image.height()));
    canvas.CopyMode = TCopyMode::cmSrcCopy;
    if (!IsOwnSurface(canvas))
        canvas.ClearClip();
}

void TDynRichEdit::Repaint()
{
    TDynMultiPanel::Repaint();
    TCanvas& own = Background->Canvas();
    if (HasRichLines())
        PaintRichText(own);
    Children->PaintGraphicsTo(own);
    Background->Present();
}

void TDynRichEdit::PaintChildrenTo(TCanvas& canvas)
{
    for (int i = 0; i < Children->Count(); ++i) {
        TDynPanel* child = Children->Panel(i);
        if (!child)
            continue;
        const Int32 code = child->KindInfo.Code;
        if (!(child->Visible() || code == kcGraphik || code == kcHeader || code == kcFooter))
            continue;
        // In the designer every object paints onto its own surface; graphic shapes paint onto
        // their container's.
        if (PaintingForOutput || code == kcGraphik || !child->Background)
            child->PaintTo(canvas);
        else
            child->PaintTo(child->Background->Canvas());
    }
}

void TDynRichEdit::PaintTo(TCanvas& canvas)
{
    // A top-level form prints at its base position.
    const bool topLevel = IsTopLevel();
    const Int32 savedTop = ptop, savedLeft = pleft;
    if (topLevel) {
        ptop = BaseTop;
        pleft = BaseLeft;
    }
    TDynMultiPanel::PaintTo(canvas);
    if (HasRichLines())
        PaintRichText(canvas);
    PaintChildrenTo(canvas);
    if (topLevel) {
        ptop = savedTop;
        pleft = savedLeft;
    }
    if (IsOwnSurface(canvas))
        Background->Present();
}

// ---- size and zoom ----

void TDynRichEdit::EndDragSize()
{
    auto* surfaceOwner = dynamic_cast<TDYNSimpelPanel*>(Container);
    if (surfaceOwner && surfaceOwner->Background)
        surfaceOwner->Background->SetRubberBand(std::nullopt);
    if (Container) {
        RubberWidth = std::min(RubberWidth, Container->width());
        RubberHeight = std::min(RubberHeight, Container->height());
    }
    RubberWidth = std::max(RubberWidth, 1);
    RubberHeight = std::max(RubberHeight, 1);
    resize(RubberWidth, RubberHeight);
    WidthChanged = Width() != StartWidth;
    HeightChanged = Height() != StartHeight;
    if (Docking != 0)
        AlignAndPaint();
    setCursor(SavedCursor);
    Resizing = false;
    if (KeepAspect)
        SetHeight(2 * BorderPixels + RoundHalfEven((Width() - 2 * BorderPixels) * AspectRatio));
    if (Width() == StartWidth && Height() == StartHeight)
        return;
    if (!IsDesignerObject()) {
        const int g = GridStep;
        if (g > 0 && (Interaction & ibSnap) && SnapToGrid) {
            int w = Width(), h = Height();
            if (Interaction & ibSizeWidth)
                w = std::max(g, w / g * g);
            if (Interaction & ibSizeHeight)
                h = std::max(g, h / g * g);
            resize(w, h);
        }
    }
    if (TDynPanel* c = ContainerObject())
        c->Repaint();
    UpdateLayout();
    if (RichText && RichText->isVisible())
        PaintTo(Background->Canvas());
    Repaint();
    if (auto* d = Designer()) {
        d->RefreshDesigner();
        if (Interaction & ibReport)
            d->ReportPosition(Left(), Top(), Width(), Height());
    }
}

void TDynRichEdit::ApplyZoom(double factor)
{
    TDynMultiPanel::ApplyZoom(factor);
    if (IsTopLevel())
        RelayoutAll();
}

void TDynRichEdit::RelayoutAll()
{
    const bool saved = KeepLogicalValues;
    KeepLogicalValues = true;
    UpdateLayout();
    UpdateChildren(this);
    KeepLogicalValues = saved;
}

void TDynRichEdit::LimitZoom(double& percent) const
{
    double p = percent / 100.0;
    const double area = double(pwidth) * double(pheight);
    if (area > 0 && p * p * area > MaxZoomedPixels)
        p = std::sqrt(MaxZoomedPixels / area);
    percent = p * 100.0;
}

// ---- record ----

void TDynRichEdit::WriteRichTextBlock()
{
    if (!RichText) {
        WriteFieldValue(Int32(-1));
        return;
    }
    const QByteArray rtf = RichText->SaveRtf();
    WriteFieldValue(Int32(RichText->LineCount()));
    WriteFieldValue(Int32(rtf.size()));
    Stream().WriteBytes(rtf);
}

void TDynRichEdit::ReadRichTextBlock()
{
    TMemoryStream& s = Stream();
    Int32 count = -1;
    TNullPanel::ReadFieldValue(count);
    if (count != -1) {
        EnsureRichText();
        const qint64 at = s.Position();
        Int32 n = 0;
        TNullPanel::ReadFieldValue(n);
        if (n < 0 || n > s.Remaining())
            throw EStreamError("rich text of " + std::to_string(n) + " bytes at position " + std::to_string(at)
                               + " does not fit into the " + std::to_string(s.Remaining()) + " bytes that remain");
        // A block the control cannot read is passed over by its size; the text keeps what it had.
        const QByteArray bytes = s.ReadBytes(n);
        if (n > 0)
            RichText->LoadRtf(bytes);
        if (HasRichLines())
            LayoutLines();
    }
    BaseTop = ptop;
    BaseLeft = pleft;
}

void TDynRichEdit::SaveToStream()
{
    TDynMultiPanel::SaveToStream();
    WriteRichTextBlock();
}

void TDynRichEdit::LoadFromStream()
{
    TDynMultiPanel::LoadFromStream();
    ReadRichTextBlock();
}

namespace {
// The rich-text object's record is not closed: its complete routines are its own save and load.
const TKindRegistrar RichEditKind(PanelKind<TDynRichEdit>(
    kcRichEdit, [](TDynRichEdit& o) { o.SaveToStream(); }, [](TDynRichEdit& o) { o.LoadFromStream(); }));
} // namespace
