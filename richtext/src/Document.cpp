#include "richtext/Rtf.h"

#include "richtext/CodePage.h"

#include <QStringDecoder>
#include <QTextDocument>

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

QString decodePlainText(QByteArrayView data)
{
    if (data.startsWith("\xEF\xBB\xBF"))
        data = data.sliced(3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(data);
    if (!utf8.hasError())
        return cleanPlainText(text);
    // Not UTF-8: a Czech text file of the older kind.
    text.clear();
    text.reserve(data.size());
    for (const char c : data)
        text.append(decodeByte(kCzechCodePage, static_cast<unsigned char>(c)));
    return cleanPlainText(text);
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

void loadDocument(QByteArrayView data, QTextDocument& document)
{
    if (isRtf(data)) {
        readRtf(data, document);
        return;
    }
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    document.setPlainText(decodePlainText(data));
    document.setUndoRedoEnabled(undo);
}

QString plainText(const QString& stored)
{
    const QByteArray bytes = storedBytes(stored);
    if (!isRtf(bytes))
        return stored;
    QTextDocument document;
    readRtf(bytes, document);
    return document.toPlainText();
}

void setStoredText(QTextDocument& document, const QString& stored)
{
    const QByteArray bytes = storedBytes(stored);
    if (isRtf(bytes)) {
        readRtf(bytes, document);
        return;
    }
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    document.setPlainText(cleanPlainText(stored));
    document.setUndoRedoEnabled(undo);
}

QString storedText(const QTextDocument& document)
{
    if (document.isEmpty())
        return {}; // an empty note is an empty field
    return QString::fromLatin1(writeRtf(document));
}

} // namespace richtext
