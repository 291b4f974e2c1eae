#include "richtext/CodePage.h"

#include "CodePageTables.h"

#include <array>
#include <memory>

namespace richtext {

QChar decodeByte(int codePage, unsigned char byte)
{
    if (byte < 0x80)
        return QChar(byte);
    const char16_t* table = detail::upperHalf(codePage);
    if (!table)
        table = detail::upperHalf(kWesternCodePage);
    return QChar(table[byte - 0x80]);
}

std::optional<unsigned char> encodeCzech(QChar c)
{
    const char16_t code = c.unicode();
    if (code < 0x80)
        return static_cast<unsigned char>(code);
    // Built once: every UTF-16 unit mapped to its byte, 0 where the page has none.
    static const auto inverse = [] {
        auto bytes = std::make_unique<std::array<unsigned char, 0x10000>>();
        bytes->fill(0);
        const char16_t* table = detail::upperHalf(kCzechCodePage);
        for (int i = 0; i < 128; ++i) {
            if (table[i] != 0xFFFD)
                (*bytes)[table[i]] = static_cast<unsigned char>(0x80 + i);
        }
        return bytes;
    }();
    const unsigned char byte = (*inverse)[code];
    if (byte == 0)
        return std::nullopt;
    return byte;
}

std::optional<int> codePageOfCharset(int charset)
{
    switch (charset) {
    case 77:
        return 10000; // Mac Roman
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return kCzechCodePage;
    case 254:
        return 437;
    case 255:
        return 850;
    default:
        return std::nullopt;
    }
}

} // namespace richtext
