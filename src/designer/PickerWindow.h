#pragma once
// TPickerWindow: the small modal window that a click on the value cell of "Background",
// "Position" or "Borderstyle" opens. It holds the picture picker of its row; every click on a
// sample cell applies that value to the selected object at once, so the window only has to be
// closed afterwards.
#include <QDialog>

class TPickerImage;

enum class TPickerKind { FillStyle, Position, BorderSides };

class TPickerWindow : public QDialog {
    Q_OBJECT
public:
    static constexpr int WindowWidth = 160;
    static constexpr int WindowHeight = 138;

    explicit TPickerWindow(TPickerKind kind, QWidget* parent = nullptr);

    TPickerKind Kind() const { return kind_; }
    TPickerImage* Picker() const { return picker_; }

    // Opens the picker of a row modally (through TDialogs) and frees it when it is closed;
    // returns the window's result. The caller repaints the value cells afterwards.
    static int Open(TPickerKind kind, QWidget* parent = nullptr);

private:
    TPickerKind kind_;
    TPickerImage* picker_ = nullptr;
};
