#pragma once

// Splits RTF into tokens. It holds no state beyond its position, so nothing
// a file says can make it recurse or allocate.

#include <QByteArrayView>

#include <string_view>

namespace richtext::detail {

struct Token {
    enum class Kind { End, GroupStart, GroupEnd, Word, Symbol, Hex, Text };
    Kind kind = Kind::End;
    std::string_view word; // a control word's letters (at most kMaxWordLength)
    bool hasParameter = false;
    int parameter = 0;     // saturated to the int range
    char symbol = 0;       // a control symbol; '\n' for "\" before a line end (a paragraph)
    unsigned char byte = 0; // \'xx
    QByteArrayView text;   // a run of plain text bytes, or one escaped \, { or }
};

class RtfLexer {
public:
    static constexpr int kMaxWordLength = 32;

    explicit RtfLexer(QByteArrayView data) : m_data(data) {}

    Token next();
    // The raw bytes after \binN: at most n, at most what is left.
    QByteArrayView takeBinary(long long n);
    bool atEnd() const { return m_pos >= m_data.size(); }
    qsizetype position() const { return m_pos; }

private:
    Token controlSequence();

    QByteArrayView m_data;
    qsizetype m_pos = 0;
};

} // namespace richtext::detail
