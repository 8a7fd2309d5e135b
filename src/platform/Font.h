#pragma once
// TFont: a font as the designer keeps it: name, size in points (and the matching pixel
// height), colour, character set and the four style flags.
#include "platform/Color.h"
#include <QFont>
#include <QString>

class TFont {
public:
    QString Name = QStringLiteral("Arial");
    TColor Color = clWindowText;
    int Charset = 0;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;

    // Height is the negative character height in pixels at the screen's pixels per inch;
    // Size the height in points. Setting one sets the other.
    int Height() const { return height_; }
    int Size() const;
    void SetHeight(int h) { height_ = h; }
    void SetSize(int points);

    // The Qt font for painting; point sizes follow the paint device's resolution.
    QFont ToQFont() const;
    void Assign(const TFont& other) { *this = other; }
    friend bool operator==(const TFont&, const TFont&) = default;

private:
    int height_ = -13;
};
