#pragma once
// TRScrollBox: the scroll box a form sits in on its tab page. Its scroll bars are always shown.
#include <QScrollArea>
#include <functional>

class TRScrollBox : public QScrollArea {
    Q_OBJECT
public:
    explicit TRScrollBox(QWidget* parent);
    // The widget the form lies on; it takes the size of what it holds.
    QWidget* Surface() const { return surface_; }
    void FitSurface(int width, int height);
    std::function<void(Qt::Orientation, int)> OnScroll;

private:
    QWidget* surface_;
};

// A tab page of the project's page control, with the scroll box that shows its form.
class TFormTab : public QWidget {
    Q_OBJECT
public:
    explicit TFormTab(QWidget* parent);
    TRScrollBox* RScrollBox;
};
