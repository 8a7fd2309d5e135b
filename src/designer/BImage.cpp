#include "designer/BImage.h"
#include <QPainter>

TBImage::TBImage(QWidget* object) : QWidget(object)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_OpaquePaintEvent);
    image_ = QImage(1, 1, QImage::Format_RGB32);
    image_.fill(Qt::white);
    canvas_ = std::make_unique<TCanvas>(&image_, TCanvasKind::Surface);
    setGeometry(0, 0, object ? object->width() : 1, object ? object->height() : 1);
}

TBImage::~TBImage()
{
    canvas_->EndPaint();
}

bool TBImage::EnsureSize(int width, int height)
{
    width = qMax(1, width);
    height = qMax(1, height);
    if (image_.width() == width && image_.height() == height) {
        if (geometry() != QRect(0, 0, width, height))
            setGeometry(0, 0, width, height);
        return false;
    }
    canvas_->EndPaint();
    image_ = QImage(width, height, QImage::Format_RGB32);
    image_.fill(Qt::white);
    canvas_->SetDevice(&image_);
    setGeometry(0, 0, width, height);
    return true;
}

void TBImage::Present()
{
    canvas_->EndPaint();
    update();
}

void TBImage::SetRubberBand(const std::optional<QRect>& rect, bool isLine)
{
    rubber_ = rect;
    rubberIsLine_ = isLine;
    update();
}

void TBImage::paintEvent(QPaintEvent*)
{
    canvas_->EndPaint();
    QPainter p(this);
    p.drawImage(0, 0, image_);
    if (rubber_) {
        QPen pen(Qt::red, 1, Qt::DashDotDotLine);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        if (rubberIsLine_)
            p.drawLine(rubber_->topLeft(), rubber_->bottomRight());
        else
            p.drawRect(rubber_->normalized().adjusted(0, 0, -1, -1));
    }
}
