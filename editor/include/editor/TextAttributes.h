#pragma once

// Character and paragraph attributes of a selection as the formatting
// toolbar and the ruler see them, in whole points, and the changes they make.
//
// Paragraph indents follow the word processor's model: the first-line
// indent is measured from the left edge, the left indent of the following
// lines from the first line's start, the right indent from the right edge.

#include <QFont>
#include <QString>
#include <QTextCharFormat>
#include <QTextCursor>

class QTextDocument;

namespace editor {

enum class Alignment { Left = 0, Right = 1, Centre = 2, Justified = 3 };

struct ParagraphAttributes {
    Alignment alignment = Alignment::Left;
    bool bullets = false;
    int firstIndent = 0; // points
    int leftIndent = 0;
    int rightIndent = 0;
};

struct CharAttributes {
    QString family;
    int points = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
};

// The attributes of the paragraph where the selection starts.
ParagraphAttributes paragraphAttributes(const QTextCursor& selection);

// Changes on every paragraph the selection touches. Setting the first-line
// indent moves the following lines with it (their indent is relative).
void setFirstIndent(const QTextCursor& selection, int points);
void setLeftIndent(const QTextCursor& selection, int points);
void setRightIndent(const QTextCursor& selection, int points);
void setAlignment(const QTextCursor& selection, Alignment alignment);
void setBullets(const QTextCursor& selection, bool bullets);

// The character attributes at the selection (its first character, or what
// typing there would give), resolved against the document's default font.
CharAttributes charAttributes(const QTextCharFormat& format, const QFont& defaultFont);

// The default font with a character change applied (the default attributes
// of text that carries no format of its own).
QFont withChange(const QFont& font, const QTextCharFormat& change);

// A character change with nothing selected: it goes to the default
// attributes, which is a change of the document like typing, so the
// document is marked modified when they change.
void changeDefaultCharacters(QTextDocument& document, const QTextCharFormat& change);

} // namespace editor
