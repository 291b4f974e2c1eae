#pragma once

// The Windows and DOS code pages that RTF files name with \ansicpgN and
// \fcharsetN. Only single-byte pages are decoded; an unknown or double-byte
// page reads as Windows-1252, so such a file still loads as far as it can.

#include <QChar>

#include <optional>

namespace richtext {

inline constexpr int kCzechCodePage = 1250;
inline constexpr int kWesternCodePage = 1252;

// The character of one byte in a code page.
QChar decodeByte(int codePage, unsigned char byte);

// The byte of a character in Windows-1250, when the page has it.
std::optional<unsigned char> encodeCzech(QChar c);

// The code page of an RTF font charset (\fcharsetN); nullopt for the ANSI
// charset 0 and for charsets that mean "the document's code page".
std::optional<int> codePageOfCharset(int charset);

} // namespace richtext
