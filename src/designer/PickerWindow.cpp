#include "designer/PickerWindow.h"
#include "designer/BorderImage.h"
#include "designer/BrushStyleImage.h"
#include "designer/PositionImage.h"
#include "platform/Dialogs.h"
#include "shell/Texts.h"
#include <QGuiApplication>
#include <QScreen>

namespace {
// The caption of the property row the picker belongs to.
int CaptionText(TPickerKind kind)
{
    switch (kind) {
    case TPickerKind::FillStyle: return 72;   // "Background"
    case TPickerKind::Position: return 84;    // "Position"
    case TPickerKind::BorderSides: return 80; // "Borderstyle"
    }
    return 72;
}
} // namespace

TPickerWindow::TPickerWindow(TPickerKind kind, QWidget* parent) : QDialog(parent), kind_(kind)
{
    // Only the system menu (with its close button) on the border.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setWindowTitle(Texts(CaptionText(kind)));
    setFixedSize(WindowWidth, WindowHeight);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    switch (kind) {
    case TPickerKind::FillStyle: picker_ = new TBrushStyleImage(this); break;
    case TPickerKind::Position: picker_ = new TPositionImage(this); break;
    case TPickerKind::BorderSides: picker_ = new TBorderImage(this); break;
    }
    picker_->move((WindowWidth - TPickerImage::ImageWidth) / 2, (WindowHeight - TPickerImage::ImageHeight) / 2);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.left() + (area.width() - WindowWidth) / 2, area.top() + (area.height() - WindowHeight) / 2);
    }
}

int TPickerWindow::Open(TPickerKind kind, QWidget* parent)
{
    TPickerWindow window(kind, parent);
    window.Picker()->Draw();
    return TDialogs::Get().ExecModal(window);
}
