#pragma once

// The RTF reader and writer over QTextDocument.
//
// Reading never fails: a truncated, damaged or hostile file loads as far as
// it is readable. It keeps paragraphs and line breaks, fonts, sizes, bold,
// italic, underline, strike-out, colours, alignment, indents, bullets and
// numbering, and PNG and JPEG pictures; what it does not know it skips by
// RTF's rules. Writing gives Windows-1250 RTF (\ansicpg1250) that other word
// processors read with the Czech letters intact.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

class QTextDocument;

namespace richtext {

// Whether the data begin like an RTF file ("{\rtf", after blanks).
bool isRtf(QByteArrayView data);

// Replaces the document's contents with the RTF's. Undo history is not kept
// for the load.
void readRtf(QByteArrayView data, QTextDocument& document);

// The document as RTF.
QByteArray writeRtf(const QTextDocument& document);

// RTF when the data look like it, else plain text (UTF-8 when the bytes are
// valid UTF-8, else Windows-1250).
void loadDocument(QByteArrayView data, QTextDocument& document);

// The characters of a stored text without its formatting, one paragraph a
// line: RTF is read, anything else is plain text already.
QString plainText(const QString& stored);

// Stored text (as a text field keeps it) shown in a document, and back.
void setStoredText(QTextDocument& document, const QString& stored);
QString storedText(const QTextDocument& document);

} // namespace richtext
