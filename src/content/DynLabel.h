#pragma once
// TDynLabel: one line of text placed inside the object's frame by its horizontal and vertical
// alignment. The base of the sum and counter field and, through it, of the barcode object.
#include "objects/DynRichEdit.h"
#include <QWidget>

// The label's text record: its text, the measured size (with a margin of 2) and the position
// of the text in the object's own canvas, all in pixels. It is the label's hosted content, so
// that the common placement and paint geometry see it; as a widget it is never shown.
class TLLabel : public QWidget {
    Q_OBJECT
public:
    explicit TLLabel(QWidget* label);

    QString Text;
    Int32 Width = 0;
    Int32 Height = 0;
    Int32 Left = 0;
    Int32 Top = 0;

    // The record's rectangle in the object's own canvas.
    TRect Rect() const { return TRect::FromBounds(Left, Top, Width, Height); }
    // Mirrors the record into the widget's geometry.
    void Sync();
};

class TDynLabel : public TDynRichEdit {
    Q_OBJECT
public:
    TDynLabel(TComponent* owner, QWidget* parent);
    ~TDynLabel() override;

    // The text record (the hosted content), owned.
    TLLabel* LabelRecord = nullptr;

    const QString& Text() const { return LabelRecord->Text; }
    // Sets the text and measures it.
    void SetText(const QString& text);
    // The data-text flag of the property panel: flips ShowContent, then measures and repaints.
    void ToggleShowContent();

    void MeasureContent() override;
    void PlaceContent() override;
    void SetObjectFont(const TFont& font) override;
    void ApplyZoom(double factor) override;
    void Repaint() override;
    void PaintTo(TCanvas& canvas) override;

    // The content-host record followed by the text and ShowContent; the complete save routine
    // closes the record after it.
    void SaveToStream() override;
    void LoadFromStream() override;

protected:
    // The object's font at the size [LogicalFontSize x factor]; a size that cannot be set is ignored.
    void ZoomFont(double factor);
    // The position of the text on the own surface in pixels (the common geometry keeps it logical).
    void SetPixelContentPosition();
};
