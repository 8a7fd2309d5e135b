#pragma once
// Rich text as RTF 1 over QTextDocument. The rich-text blocks of project files and the text editor's
// .rtf files are in this form.
//
// Lengths (indents, paragraph spacing, tab stops) are twips in RTF and pixels at 96 per inch in the
// document: one pixel is 15 twips. Bulleted and numbered paragraphs read from RTF hold their whole
// indentation in the block's margins (the list itself adds none), as word processors write it.
#include <QByteArray>

class QTextDocument;

// The document as RTF 1 (ANSI, code page 1252): font table, colour table, per paragraph alignment,
// indents, spacing, tab stops and bullets or numbering; per run font, size, colour, highlight, bold,
// italic, underline, strike-out and super-/subscript. Characters outside code page 1252 are written
// as \uN with "?" for readers that do not know \u.
QByteArray DocumentToRtf(const QTextDocument& doc);

// Replaces the document's content by the RTF text. Returns false and leaves the document untouched
// when the bytes are not RTF at all (they do not begin with "{\rtf"). Damaged or truncated RTF still
// gives a document with everything read up to the damage; what cannot be understood is skipped.
bool RtfToDocument(const QByteArray& rtf, QTextDocument& doc);
