#include "RtfLexer.h"

#include <climits>

namespace richtext::detail {

namespace {

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

Token RtfLexer::next()
{
    Token token;
    while (m_pos < m_data.size()) {
        const char c = m_data[m_pos];
        switch (c) {
        case '{':
            ++m_pos;
            token.kind = Token::Kind::GroupStart;
            return token;
        case '}':
            ++m_pos;
            token.kind = Token::Kind::GroupEnd;
            return token;
        case '\\':
            return controlSequence();
        case '\r':
        case '\n':
            ++m_pos; // line ends in RTF text carry no meaning
            continue;
        default: {
            const qsizetype start = m_pos;
            while (m_pos < m_data.size()) {
                const char d = m_data[m_pos];
                if (d == '{' || d == '}' || d == '\\' || d == '\r' || d == '\n')
                    break;
                ++m_pos;
            }
            token.kind = Token::Kind::Text;
            token.text = m_data.sliced(start, m_pos - start);
            return token;
        }
        }
    }
    return token; // End
}

Token RtfLexer::controlSequence()
{
    Token token;
    ++m_pos; // the backslash
    if (m_pos >= m_data.size())
        return token; // a lone backslash at the end: nothing more to read
    const char c = m_data[m_pos];
    if (isLetter(c)) {
        const qsizetype start = m_pos;
        while (m_pos < m_data.size() && isLetter(m_data[m_pos]))
            ++m_pos;
        const qsizetype length = m_pos - start;
        token.kind = Token::Kind::Word;
        // An over-long name matches no known word; it is still read to its end.
        token.word = std::string_view(m_data.data() + start,
                                      static_cast<size_t>(length > kMaxWordLength ? kMaxWordLength + 1
                                                                                  : length));
        bool negative = false;
        if (m_pos + 1 < m_data.size() && m_data[m_pos] == '-' && isDigit(m_data[m_pos + 1])) {
            negative = true;
            ++m_pos;
        }
        if (m_pos < m_data.size() && isDigit(m_data[m_pos])) {
            long long value = 0;
            while (m_pos < m_data.size() && isDigit(m_data[m_pos])) {
                if (value <= INT_MAX)
                    value = value * 10 + (m_data[m_pos] - '0');
                ++m_pos;
            }
            if (negative)
                value = -value;
            if (value > INT_MAX)
                value = INT_MAX;
            if (value < INT_MIN)
                value = INT_MIN;
            token.hasParameter = true;
            token.parameter = static_cast<int>(value);
        }
        if (m_pos < m_data.size() && m_data[m_pos] == ' ')
            ++m_pos; // the delimiting blank belongs to the word
        return token;
    }
    ++m_pos;
    switch (c) {
    case '\'': {
        const int high = m_pos < m_data.size() ? hexValue(m_data[m_pos]) : -1;
        const int low = m_pos + 1 < m_data.size() ? hexValue(m_data[m_pos + 1]) : -1;
        if (high < 0 || low < 0) {
            token.kind = Token::Kind::Symbol; // a broken escape: dropped
            token.symbol = '\'';
            return token;
        }
        m_pos += 2;
        token.kind = Token::Kind::Hex;
        token.byte = static_cast<unsigned char>(high * 16 + low);
        return token;
    }
    case '\\':
    case '{':
    case '}':
        token.kind = Token::Kind::Text;
        token.text = m_data.sliced(m_pos - 1, 1);
        return token;
    case '\r':
    case '\n':
        token.kind = Token::Kind::Symbol;
        token.symbol = '\n';
        return token;
    default:
        token.kind = Token::Kind::Symbol;
        token.symbol = c;
        return token;
    }
}

QByteArrayView RtfLexer::takeBinary(long long n)
{
    if (n <= 0)
        return {};
    const qsizetype left = m_data.size() - m_pos;
    const qsizetype count = n < left ? static_cast<qsizetype>(n) : left;
    const QByteArrayView bytes = m_data.sliced(m_pos, count);
    m_pos += count;
    return bytes;
}

} // namespace richtext::detail
