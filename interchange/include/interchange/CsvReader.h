#pragma once

// Reading a CSV file as people export it from spreadsheets, offices and other
// address books: the encoding and the separator are found from the bytes,
// quoted fields may hold separators and line breaks, and every row knows the
// line it came from. No widgets: the address import and the postal-code
// import read their files with it.

#include <QByteArray>
#include <QChar>
#include <QString>
#include <QStringList>

#include <stdexcept>
#include <vector>

namespace interchange {

enum class TextEncoding { Utf8, Windows1250, Iso8859_2 };

// The encoding's name as the user knows it ("UTF-8", "Windows-1250", ...).
QString encodingName(TextEncoding encoding);

// A file that cannot be read as CSV. The message is Czech and, where a line
// is at fault, starts with "Řádek N: ".
class CsvError : public std::runtime_error {
public:
    CsvError(int line, const QString& message);
    int line() const { return m_line; } // 0 when no single line is at fault
    QString message() const { return QString::fromStdString(what()); }

private:
    int m_line;
};

struct CsvRow {
    int line = 0; // the file's line where the row starts, from 1
    QStringList fields;
};

struct CsvDocument {
    TextEncoding encoding = TextEncoding::Utf8;
    QChar separator = QLatin1Char(';');
    QStringList header;
    int headerLine = 1;
    std::vector<CsvRow> rows; // without the header and without empty lines
};

// The bytes as text. A byte-order mark or valid UTF-8 is UTF-8. Text that is
// mostly valid UTF-8 with a few broken sequences is a damaged file (CsvError
// naming the first broken line); otherwise it is one of the two Czech 8-bit
// code pages, told apart by the bytes that only one of them uses for Czech
// letters. Control characters other than tab and line ends are refused.
QString decodeText(const QByteArray& bytes, TextEncoding* encoding);

// The separator of a header line: ';', ',' or a tab, whichever occurs most
// outside quotes (';' when none does).
QChar detectSeparator(const QString& headerLine);

// Decodes, finds the separator from the first non-empty line (the header)
// and splits every row. An unclosed quote is a CsvError naming its line.
CsvDocument readCsv(const QByteArray& bytes);

// A header name reduced for matching: small letters without diacritics, only
// letters and digits ("Název části obce" -> "nazevcastiobce").
QString headerKey(const QString& name);

// Each role's column: the first header whose key is one of the role's keys,
// tried in the order of the keys; -1 when none matches. A column serves one
// role only, the earlier role winning.
std::vector<int> matchColumns(const QStringList& header, const std::vector<QStringList>& roleKeys);

// A cell a spreadsheet would take for a formula ("=", "@", or "+"/"-" not
// followed by a digit or a blank) gets an apostrophe before it, so that it
// stays text; "+420 777 ..." and "-5" stay as they are. The reading side
// takes the apostrophe away again.
QString spreadsheetText(const QString& field);
QString withoutSpreadsheetMark(const QString& field);

// One CSV line of the fields in UTF-8, as the reader reads it back: ";"
// between them, quoted where a field holds a separator, a quote, a line end
// or blanks at its ends; CRLF at the end.
QByteArray csvLine(const QStringList& fields);

} // namespace interchange
