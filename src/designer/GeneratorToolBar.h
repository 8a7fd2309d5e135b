#pragma once
// TGeneratorToolBar: the row of seven buttons in the designer's bottom panel. Each runs a
// command of the main menu; the last one switches the designer off (property pages hidden,
// project locked) and on again.
#include <QPixmap>
#include <QToolBar>
#include <QToolButton>

class TObjectgenerator;

class TGeneratorToolBar : public QToolBar {
    Q_OBJECT
public:
    // The toolbar fills parent (the designer's bottom panel).
    TGeneratorToolBar(TObjectgenerator* designer, QWidget* parent);

    // The pictures: 20 images of 16 x 16 pixels, drawn here.
    static constexpr int ImageCount = 20;
    static QPixmap ToolImage(int index);

    QToolButton* PreViewButton = nullptr;   // "Preview"
    QToolButton* CutButton = nullptr;       // "Cut"
    QToolButton* CopyButton = nullptr;      // "Copy"
    QToolButton* EinButton = nullptr;       // "Add object": paste
    QToolButton* SaveButton = nullptr;      // "Save file"
    QToolButton* OpenButton = nullptr;      // "Open file"
    QToolButton* GeneratorButton = nullptr; // "Generator off"
    // The image the "Generator off" button shows: 3 with the pages shown, 15 with them hidden.
    int GeneratorImage = 3;

    void CreateStandardToolBar();
    // Buttons Cut, Copy and Add object, together.
    void EnableEditButtons(bool value);
    void SetGeneratorImage(int index);

public slots:
    void PreViewButtonClick();
    void PasteButtonClick(); // the Cut button
    void CopyButtonClick();
    void EinButtonClick();
    void SaveButtonClick();
    void OpenButtonClick();

private:
    QToolButton* AddButton(const QString& hint, int image);
    TObjectgenerator* designer_;
};
