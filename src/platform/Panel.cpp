#include "platform/Panel.h"
#include <QEvent>
#include <QPainter>

TPanel::TPanel(TComponent* owner, QWidget* parent)
    : QWidget(parent), TComponent(owner)
{
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

TPanel::~TPanel()
{
    if (watchedParent_)
        watchedParent_->removeEventFilter(this);
}

void TPanel::SetColor(TColor c)
{
    if (c == NoColorChange)
        return;
    color_ = c;
    update();
}

void TPanel::SetCaption(const QString& c)
{
    caption_ = c;
    if (showCaption_)
        update();
}

void TPanel::SetShowCaption(bool v)
{
    showCaption_ = v;
    update();
}

void TPanel::SetFont(const TFont& f)
{
    font_ = f;
    QWidget::setFont(f.ToQFont());
    FontChanged();
    update();
}

void TPanel::SetParent(QWidget* p)
{
    const bool wasHidden = isHidden();
    setParent(p);
    if (!wasHidden)
        show();
    if (align_ != TAlign::alNone)
        WatchParent(p);
}

void TPanel::SetAlign(TAlign a)
{
    align_ = a;
    WatchParent(a == TAlign::alNone ? nullptr : parentWidget());
    if (parentWidget())
        RealignChildren(parentWidget());
}

void TPanel::WatchParent(QWidget* p)
{
    if (watchedParent_ == p)
        return;
    if (watchedParent_)
        watchedParent_->removeEventFilter(this);
    watchedParent_ = p;
    if (watchedParent_)
        watchedParent_->installEventFilter(this);
}

bool TPanel::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == watchedParent_ && e->type() == QEvent::Resize)
        RealignChildren(watchedParent_);
    return QWidget::eventFilter(watched, e);
}

void TPanel::RealignChildren(QWidget* parent)
{
    QRect client = parent->contentsRect();
    // Edges first, in creation order; the client panels take what is left.
    for (int pass = 0; pass < 2; ++pass) {
        for (QObject* o : parent->children()) {
            auto* p = qobject_cast<TPanel*>(o);
            if (!p || p->isHidden() || p->align_ == TAlign::alNone)
                continue;
            const bool isClient = p->align_ == TAlign::alClient;
            if ((pass == 0) == isClient)
                continue;
            switch (p->align_) {
            case TAlign::alTop:
                p->setGeometry(client.left(), client.top(), client.width(), p->height());
                client.setTop(client.top() + p->height());
                break;
            case TAlign::alBottom:
                p->setGeometry(client.left(), client.bottom() + 1 - p->height(), client.width(), p->height());
                client.setBottom(client.bottom() - p->height());
                break;
            case TAlign::alLeft:
                p->setGeometry(client.left(), client.top(), p->width(), client.height());
                client.setLeft(client.left() + p->width());
                break;
            case TAlign::alRight:
                p->setGeometry(client.right() + 1 - p->width(), client.top(), p->width(), client.height());
                client.setRight(client.right() - p->width());
                break;
            case TAlign::alClient:
                p->setGeometry(client);
                break;
            case TAlign::alNone:
                break;
            }
        }
    }
}

void TPanel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), ToQColor(color_));
    auto bevel = [&](TBevelCut cut, QRect r) {
        if (cut == TBevelCut::bvNone)
            return;
        const QColor light = ToQColor(clBtnHighlight), dark = ToQColor(clBtnShadow);
        const QColor tl = cut == TBevelCut::bvRaised ? light : dark;
        const QColor br = cut == TBevelCut::bvRaised ? dark : light;
        for (int i = 0; i < BevelWidth; ++i) {
            p.setPen(tl);
            p.drawLine(r.left() + i, r.top() + i, r.right() - i, r.top() + i);
            p.drawLine(r.left() + i, r.top() + i, r.left() + i, r.bottom() - i);
            p.setPen(br);
            p.drawLine(r.left() + i, r.bottom() - i, r.right() - i, r.bottom() - i);
            p.drawLine(r.right() - i, r.top() + i, r.right() - i, r.bottom() - i);
        }
    };
    bevel(BevelOuter, rect());
    bevel(BevelInner, rect().adjusted(BevelWidth, BevelWidth, -BevelWidth, -BevelWidth));
    if (showCaption_ && !caption_.isEmpty()) {
        p.setPen(ToQColor(font_.Color));
        p.setFont(font_.ToQFont());
        p.drawText(rect(), Qt::AlignCenter, caption_);
    }
}
