#pragma once
// TBImage: the drawing surface of every object: a child widget showing an image the size of
// its object. Painting goes into the image through its canvas; the widget shows it, with the
// designer's rubber band drawn over it. Mouse events pass through to the object.
#include "platform/Canvas.h"
#include <QImage>
#include <QWidget>
#include <memory>
#include <optional>

class TBImage : public QWidget {
    Q_OBJECT
public:
    explicit TBImage(QWidget* object);
    ~TBImage() override;

    QImage& Image() { return image_; }
    const QImage& Image() const { return image_; }
    TCanvas& Canvas() { return *canvas_; }
    // Makes the image the given size (a new white image) unless it has it already.
    // Returns true when the image was replaced.
    bool EnsureSize(int width, int height);
    // Shows what was painted.
    void Present();

    // The rubber band: an outline the designer draws over the surface while placing or sizing.
    void SetRubberBand(const std::optional<QRect>& rect, bool isLine = false);
    std::optional<QRect> RubberBand() const { return rubber_; }

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    QImage image_;
    std::unique_ptr<TCanvas> canvas_;
    std::optional<QRect> rubber_;
    bool rubberIsLine_ = false;
};
