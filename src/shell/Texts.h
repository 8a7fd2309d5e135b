#pragma once

// The text table: every user-visible word of the designer and of the objects it builds is read
// from here by its fixed index ("text N"). The table is empty at program start; the designer
// fills the English defaults once, early in its constructor, before it builds any control.

#include <QString>

constexpr int TextCount = 501;

// Writes every English default and clears entries 81, 82, 219..223, 287 and 288.
// Entries without a default are left as they are (empty unless a loader has set them).
void FillTextDefaults();

// Entry n of the table. An index outside 0..TextCount-1 reads as an empty string.
const QString& Texts(int n);

// Replaces entry n (for a loader of replacement texts); an index outside the table is ignored.
void SetText(int n, const QString& text);

// Names offered by the language row; entry 0 is set by the designer, the others stay empty.
extern QString LanguageNames[6];
