#pragma once
// TPanel: the panel control every designable object, the designer and the host build on.
// A QWidget with the state the designer code uses (bounds, colour, caption, hint, lock,
// alignment inside its parent, bevels) and a place in an owner's registry.
#include "platform/Color.h"
#include "platform/Component.h"
#include "platform/Font.h"
#include "platform/Types.h"
#include <QWidget>

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum class TBevelCut { bvNone, bvLowered, bvRaised };
enum class TBorderStyle { bsNone, bsSingle };

class TPanel : public QWidget, public TComponent {
    Q_OBJECT
public:
    TPanel(TComponent* owner, QWidget* parent);
    ~TPanel() override;

    int Left() const { return x(); }
    int Top() const { return y(); }
    int Width() const { return width(); }
    int Height() const { return height(); }
    void SetLeft(int v) { move(v, y()); }
    void SetTop(int v) { move(x(), v); }
    void SetWidth(int v) { resize(qMax(0, v), height()); }
    void SetHeight(int v) { resize(width(), qMax(0, v)); }
    void SetBounds(int l, int t, int w, int h) { setGeometry(l, t, qMax(0, w), qMax(0, h)); }
    TRect BoundsRect() const { return TRect::FromBounds(x(), y(), width(), height()); }
    TRect ClientRect() const { return {0, 0, width(), height()}; }

    // The panel's own visibility flag (independent of whether its parent is shown).
    bool Visible() const { return !isHidden(); }
    void SetVisible(bool v) { setVisible(v); }

    TColor Color() const { return color_; }
    void SetColor(TColor c);
    const QString& Caption() const { return caption_; }
    void SetCaption(const QString& c);
    bool ShowCaption() const { return showCaption_; }
    void SetShowCaption(bool v);
    QString Hint() const { return toolTip(); }
    void SetHint(const QString& h) { setToolTip(h); }
    bool Locked() const { return locked_; }
    void SetLocked(bool v) { locked_ = v; }
    TAlign Align() const { return align_; }
    void SetAlign(TAlign a);
    TBevelCut BevelInner = TBevelCut::bvNone;
    TBevelCut BevelOuter = TBevelCut::bvRaised;
    int BevelWidth = 1;
    TBorderStyle BorderStyle = TBorderStyle::bsNone;

    TFont& Font() { return font_; }
    const TFont& Font() const { return font_; }
    void SetFont(const TFont& f);

    void BringToFront() { raise(); }
    void SendToBack() { lower(); }
    QWidget* Parent() const { return parentWidget(); }
    void SetParent(QWidget* p);

    // Lays out the aligned panels among a widget's children, in the order they were created.
    static void RealignChildren(QWidget* parent);

protected:
    void paintEvent(QPaintEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    virtual void FontChanged() {}

private:
    void WatchParent(QWidget* p);
    TColor color_ = clBtnFace;
    QString caption_;
    bool showCaption_ = false;
    bool locked_ = false;
    TAlign align_ = TAlign::alNone;
    TFont font_;
    QWidget* watchedParent_ = nullptr;
};
