#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <ostream>

class QTextDocument;

namespace richtext_test {

// The application object QTextDocument's fonts need; created once.
void ensureApplication();

// A canonical account of a document: per paragraph its alignment, indents
// and list, per run of equal formatting its text and resolved properties.
// Two documents that look alike give the same account.
QString describe(const QTextDocument& document);

// A small PNG of the given size and colour.
QByteArray pngBytes(int width, int height, Qt::GlobalColor colour);
QByteArray jpegBytes(int width, int height);

} // namespace richtext_test

// Readable test failures.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList& list, std::ostream* out)
{
    *out << '[' << list.join(QStringLiteral("|")).toStdString() << ']';
}
