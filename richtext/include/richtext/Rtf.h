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

#include <functional>

class QTextDocument;

namespace richtext {

// Whether the data begin like an RTF file ("{\rtf", after blanks).
bool isRtf(QByteArrayView data);

// Replaces the document's contents with the RTF's. Undo history is not kept
// for the load.
void readRtf(QByteArrayView data, QTextDocument& document);

// The document as RTF.
QByteArray writeRtf(const QTextDocument& document);

// What a text area can hold and still answer at once: the layout of one
// paragraph is done in one piece (a million characters take over a second),
// and every paragraph costs memory and time of its own. A document past any
// of these is refused whole, never cut.
struct DocumentLimits {
    qint64 fileBytes = 64LL * 1024 * 1024;
    qint64 characters = 8'000'000;
    int paragraphs = 100'000;
    int paragraphLength = 100'000; // characters
};

// Called now and then while a document loads, with how much of the data is
// read; false stops the load.
using LoadProgress = std::function<bool(qint64 done, qint64 total)>;

struct LoadResult {
    enum class Status { Rtf, PlainText, NotText, TooLarge, Cancelled };
    Status status = Status::NotText;
    // Why the data were not loaded (Czech, to follow "cannot read the file:");
    // empty when they were, or when the user stopped the load.
    QString reason;
    bool loaded() const { return status == Status::Rtf || status == Status::PlainText; }
};

// RTF when the data look like it, else plain text: valid UTF-8, or else
// Windows-1250, either without NUL or other control bytes. Anything else (a
// picture, a program) is not a document. The document is replaced; when
// the result is not loaded it is left empty, so load into a document of
// your own and keep it only then.
LoadResult loadDocument(QByteArrayView data, QTextDocument& document, const LoadProgress& progress = {},
                        const DocumentLimits& limits = {});

// The reason loadDocument gives for a file larger than the limits allow,
// for a caller that refuses it before reading.
QString fileTooLargeReason(const DocumentLimits& limits = {});

// What a text field's note may hold to be shown in a small text area: a
// table from elsewhere can hold a note of any size, and one of megabytes
// would freeze the window that shows it.
inline constexpr DocumentLimits kStoredTextLimits{1024 * 1024, 200'000, 10'000, 100'000};

// The characters of a stored text without its formatting, one paragraph a
// line: RTF is read, anything else is plain text already. A text past
// kStoredTextLimits gives a short Czech remark in its place.
QString plainText(const QString& stored);

// Stored text (as a text field keeps it) shown in a document, and back.
// False, with the document left empty, for a text past the limits.
bool setStoredText(QTextDocument& document, const QString& stored,
                   const DocumentLimits& limits = kStoredTextLimits);
QString storedText(const QTextDocument& document);

} // namespace richtext
