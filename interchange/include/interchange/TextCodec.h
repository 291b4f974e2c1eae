#pragma once

// Bytes to text and back in the code pages Czech files come in. ICU does the
// conversion; a byte that the code page does not define is an error, never a
// silent replacement, so a wrongly guessed encoding shows instead of
// corrupting names.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

namespace interchange {

// Whether the bytes are well-formed UTF-8 (no overlong forms, no surrogates).
bool isUtf8(QByteArrayView bytes);

// How much of the bytes reads as UTF-8: a file with many valid sequences and
// a few broken ones is damaged UTF-8, not another code page.
struct Utf8Scan {
    qsizetype validMultiByte = 0;
    qsizetype invalid = 0;
    qsizetype firstInvalid = -1; // offset of the first broken byte
};
Utf8Scan scanUtf8(QByteArrayView bytes);

// The same scan, and the Czech 8-bit guess, over bytes that come in pieces:
// a sequence cut between two pieces counts once.
class Utf8Scanner {
public:
    void feed(QByteArrayView bytes);
    // After the last piece; a sequence the file ends inside is a broken byte.
    Utf8Scan finish();
    const char* czech8Bit() const; // as guessCzech8Bit over every byte fed

private:
    void add(QByteArrayView bytes);

    Utf8Scan m_scan;
    qsizetype m_offset = 0;
    QByteArray m_pending; // the start of a sequence the last piece ended in
    qsizetype m_windows = 0;
    qsizetype m_iso = 0;
};

// The bytes in the named code page ("UTF-8", "windows-1250", "ISO-8859-2",
// "IBM852", ...); nullopt when ICU does not know the name or a byte sequence
// is not defined in it (then `badOffset`, when given, says where).
std::optional<QString> decode(QByteArrayView bytes, const char* charset, qsizetype* badOffset = nullptr);
// Whether ICU knows the code page by that name (with its aliases).
bool knownCharset(const QByteArray& charset);

// The text in the code page. Characters the code page lacks become '?', and
// `unmappable` (when given) counts them.
QByteArray encode(const QString& text, const char* charset, qsizetype* unmappable = nullptr);

// Which of the two Czech 8-bit code pages bytes that are not UTF-8 are in:
// the letters š, ť, ž, Š, Ť, Ž and ą sit on different bytes in Windows-1250
// and ISO-8859-2, the rest of the Czech letters on the same ones.
const char* guessCzech8Bit(QByteArrayView bytes);

// The encoding of a whole text file: "UTF-8" for a byte-order mark or valid
// UTF-8 (bomLength then says how many bytes to skip), "UTF-16LE"/"UTF-16BE"
// for their marks, otherwise the guessed Czech 8-bit code page.
struct DetectedEncoding {
    const char* charset = "UTF-8";
    int bomLength = 0;
};
DetectedEncoding detectEncoding(QByteArrayView bytes);

// What the user reads for a code page ("UTF-8", "Windows-1250", "ISO-8859-2").
QString charsetLabel(const char* charset);

} // namespace interchange
