#pragma once
// TDynRichEdit: a container with a hidden rich-text control whose formatted text is painted
// over the object's background, with a cached rendering of that text. Labels, edit fields,
// grids, forms, headers, footers and most other content kinds build on it.
#include "objects/DynMultiPanel.h"
#include <QImage>
#include <QTextEdit>
#include <array>
#include <memory>

// The hidden rich-text control of an object: no frame, word wrap on, no scroll bars.
class TLRichEdit : public QTextEdit {
    Q_OBJECT
public:
    explicit TLRichEdit(QWidget* parent);
    // Lines as laid out at the current layout width; 0 for an empty text.
    int LineCount() const;
    // Loads RTF, or plain text (UTF-8, else Windows-1252) when the bytes are not RTF. False, with
    // the text left as it was, when the bytes are neither (binary data). No bytes clear the text.
    bool LoadRtf(const QByteArray& bytes);
    QByteArray SaveRtf() const;
    // Lays the text out at a fixed width in pixels (the object's logical content width).
    void SetLayoutWidth(int pixels);
};

struct TRichLine {
    int First = 0;  // first character index
    int End = 0;    // character index after the line
    int X = 0, Y = 0;
    int Height = 0;
};

constexpr int MaxRichLines = 200;

class TDynRichEdit : public TDynMultiPanel {
    Q_OBJECT
public:
    TDynRichEdit(TComponent* owner, QWidget* parent);
    ~TDynRichEdit() override;

    TLRichEdit* RichText = nullptr;
    QImage TextCache;
    bool CacheInvalid = false;
    bool LinesLaidOut = false;
    Int32 LineCount = -1;
    std::array<TRichLine, MaxRichLines> Lines{};
    Int32 TwipsPerPixel = 15;

    // The rich-text control, created on first need.
    TLRichEdit* EnsureRichText();
    // Whether the control exists and holds text.
    bool HasRichLines() const;

    virtual void PaintRichText(TCanvas& canvas);
    virtual void PaintRichTextImage(TCanvas& canvas);
    virtual void SetExtraA(Int32) {}
    virtual void SetExtraB(Int32) {}

    void SaveToStream() override;
    void LoadFromStream() override;
    void SelectOnClick() override { Select(); }
    void SetContentColor(TColor color) override;
    void SetObjectFont(const TFont& font) override;
    void Repaint() override;
    void PaintTo(TCanvas& canvas) override;
    void EndDragSize() override;
    void ApplyZoom(double factor) override;

    // The line table of the control's text (at most MaxRichLines lines); invalidates the cache.
    void LayoutLines();
    // Renders the laid-out lines: on the printer's canvas at the object's place on the page,
    // scaled by ScaleX/ScaleY; on any other canvas at logical size from (0, 0).
    void PrintLines(TCanvas& canvas);
    void RelayoutAll();
    // Limits a zoom percent so that the zoomed object stays within four million pixels.
    void LimitZoom(double& percent) const;
    // The rich-text layer of the record (after the children).
    void WriteRichTextBlock();
    void ReadRichTextBlock();
    // Whether this object sits directly on the host (a top-level form).
    bool IsTopLevel() const { return ContainerIsHost(); }

protected:
    // The children's PaintTo: for output onto the canvas, in the designer each onto its own
    // surface (graphic shapes onto this object's surface).
    void PaintChildrenTo(TCanvas& canvas);
    // The document's default font: the object's font at its logical size.
    void ApplyDocumentFont();
};
