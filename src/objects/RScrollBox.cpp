#include "objects/RScrollBox.h"
#include <QScrollBar>
#include <QVBoxLayout>

TRScrollBox::TRScrollBox(QWidget* parent) : QScrollArea(parent)
{
    setFrameShape(QFrame::Box);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setWidgetResizable(false);
    surface_ = new QWidget;
    surface_->resize(10, 10);
    setWidget(surface_);
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, [this](int v) {
        if (OnScroll)
            OnScroll(Qt::Horizontal, v);
    });
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int v) {
        if (OnScroll)
            OnScroll(Qt::Vertical, v);
    });
}

void TRScrollBox::FitSurface(int width, int height)
{
    surface_->resize(qMax(1, width), qMax(1, height));
}

TFormTab::TFormTab(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    RScrollBox = new TRScrollBox(this);
    layout->addWidget(RScrollBox);
}
