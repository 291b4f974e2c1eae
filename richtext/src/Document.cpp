#include "richtext/Rtf.h"

#include "richtext/CodePage.h"

#include "LoadBudget.h"

#include <QLocale>
#include <QStringDecoder>
#include <QTextDocument>

#include <optional>
#include <utility>

namespace richtext {

namespace {

// Line ends of every kind become paragraphs; other control characters
// (as in a binary file opened by mistake) are dropped, as RTF drops them.
QString cleanPlainText(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    qsizetype out = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        QChar c = text.at(i);
        if (c == u'\r')
            c = u'\n';
        else if (c.unicode() < 0x20 && c != u'\n' && c != u'\t')
            continue;
        text[out++] = c;
    }
    text.truncate(out);
    return text;
}

// Line ends, tabs and page breaks are all a text file holds below the blank;
// NUL and the other control bytes mean the file is something else.
bool isTextCharacter(char16_t c)
{
    return (c >= 0x20 && c != 0x7F) || c == u'\n' || c == u'\r' || c == u'\t' || c == u'\f';
}

// The file's text when it is a text file: valid UTF-8, else Windows-1250
// with every byte a character of that page.
std::optional<QString> decodePlainText(QByteArrayView data)
{
    if (data.startsWith("\xEF\xBB\xBF"))
        data = data.sliced(3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(data);
    if (utf8.hasError()) {
        // Not UTF-8: a Czech text file of the older kind.
        text.clear();
        text.reserve(data.size());
        for (const char c : data) {
            const QChar decoded = decodeByte(kCzechCodePage, static_cast<unsigned char>(c));
            if (decoded == QChar::ReplacementCharacter)
                return std::nullopt; // a byte the page does not have
            text.append(decoded);
        }
    }
    for (const QChar c : std::as_const(text)) {
        if (!isTextCharacter(c.unicode()))
            return std::nullopt;
    }
    return cleanPlainText(text);
}

// Counts the text's lines and characters against the budget.
bool fitsBudget(const QString& text, detail::LoadBudget& budget)
{
    for (const QChar c : text) {
        if (c == u'\n')
            budget.paragraphEnded();
        if (!(c == u'\n' ? budget.paragraphBegun() : budget.character()))
            return false;
    }
    return true;
}

// Stored RTF is ASCII; a stored text is kept as its own bytes where it can be.
QByteArray storedBytes(const QString& stored)
{
    for (const QChar c : stored) {
        if (c.unicode() > 0xFF)
            return stored.toUtf8();
    }
    return stored.toLatin1();
}

} // namespace

LoadResult loadDocument(QByteArrayView data, QTextDocument& document, const LoadProgress& progress,
                        const DocumentLimits& limits)
{
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    document.clear();
    LoadResult result;
    if (data.size() > limits.fileBytes) {
        result = {LoadResult::Status::TooLarge, fileTooLargeReason(limits)};
    } else if (isRtf(data)) {
        detail::LoadBudget budget(&limits, &progress, data.size());
        detail::readRtf(data, document, budget);
        result = budget.stopped() ? LoadResult{budget.status(), budget.reason()}
                                  : LoadResult{LoadResult::Status::Rtf, {}};
    } else if (const std::optional<QString> text = decodePlainText(data); !text) {
        result = {LoadResult::Status::NotText, QStringLiteral("není to dokument RTF ani prostý text")};
    } else {
        detail::LoadBudget budget(&limits, &progress, data.size());
        if (fitsBudget(*text, budget)) {
            document.setPlainText(*text);
            result = {LoadResult::Status::PlainText, {}};
        } else {
            result = {budget.status(), budget.reason()};
        }
    }
    document.setUndoRedoEnabled(undo);
    return result;
}

QString fileTooLargeReason(const DocumentLimits& limits)
{
    return QStringLiteral("soubor je větší než %1 MB, větší editor neotevře")
        .arg(QLocale(QLocale::Czech).toString(limits.fileBytes / (1024 * 1024)));
}

QString plainText(const QString& stored)
{
    const QByteArray bytes = storedBytes(stored);
    if (!isRtf(bytes))
        return stored;
    QTextDocument document;
    if (!loadDocument(bytes, document, {}, kStoredTextLimits).loaded())
        return QStringLiteral("(text je příliš rozsáhlý)");
    return document.toPlainText();
}

bool setStoredText(QTextDocument& document, const QString& stored, const DocumentLimits& limits)
{
    const QByteArray bytes = storedBytes(stored);
    if (isRtf(bytes))
        return loadDocument(bytes, document, {}, limits).loaded();
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    const QString text = cleanPlainText(stored);
    const LoadProgress noProgress;
    detail::LoadBudget budget(&limits, &noProgress, text.size());
    const bool fits = bytes.size() <= limits.fileBytes && fitsBudget(text, budget);
    if (fits)
        document.setPlainText(text);
    else
        document.clear();
    document.setUndoRedoEnabled(undo);
    return fits;
}

QString storedText(const QTextDocument& document)
{
    if (document.isEmpty())
        return {}; // an empty note is an empty field
    return QString::fromLatin1(writeRtf(document));
}

} // namespace richtext
