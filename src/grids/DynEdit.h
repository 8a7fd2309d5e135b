#pragma once
// TDynEdit: a free edit field. On screen it hosts a mask edit the user types into; in the preview
// and on paper the object draws the edit's text itself.
#include "objects/DynRichEdit.h"
#include <QLineEdit>

// The hosted edit: a line edit with an input mask and no frame. It sizes itself to its text
// through its object, which measures the text whenever it changes.
class TLEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TLEdit(QWidget* parent);

    // The font as the designer keeps it; the widget shows it.
    const TFont& EditFont() const { return font_; }
    void SetEditFont(const TFont& font);
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    QString EditMask() const { return inputMask(); }
    void SetEditMask(const QString& mask) { setInputMask(mask); }

private:
    TFont font_;
    TColor color_ = clWhite;
};

class TDynEdit : public TDynRichEdit {
    Q_OBJECT
public:
    TDynEdit(TComponent* owner, QWidget* parent);
    ~TDynEdit() override;

    // The hosted edit, owned.
    TLEdit* Edit = nullptr;

    void MeasureContent() override;
    void SetContentColor(TColor color) override;
    void SetObjectName(const QString& name) override;
    void UpdateLayout() override;
    void SetObjectFont(const TFont& font) override;
    void Activate() override;
    void ApplyZoom(double factor) override;
    void PaintTo(TCanvas& canvas) override;

    // The complete record: the content-host record, the edit's text, closed.
    void SaveEntry();
    void LoadEntry();

private:
    // The edit's size := its text's extent in the edit's font + 2 each (0 x 0 without text).
    void SizeEdit();
};
