#include "interchange/TextCodec.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_err.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace interchange {

namespace {

struct ConverterCloser {
    void operator()(UConverter* converter) const { ucnv_close(converter); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

Converter openConverter(const char* charset)
{
    UErrorCode status = U_ZERO_ERROR;
    Converter converter(ucnv_open(charset, &status));
    if (U_FAILURE(status))
        return nullptr;
    return converter;
}

int utf8SequenceLength(const unsigned char* p, qsizetype remaining)
{
    const unsigned char lead = p[0];
    if (lead < 0x80)
        return 1;
    int length = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0;
        else if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F;
    } else {
        return 0;
    }
    if (remaining < length || p[1] < low || p[1] > high)
        return 0;
    for (int i = 2; i < length; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
    }
    return length;
}

// The bytes of the sequence a lead byte starts, 0 for a byte that starts none.
int leadLength(unsigned char lead)
{
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 0;
}

// Windows-1250: š 9A, ť 9D, ž 9E, Š 8A, Ť 8D, Ž 8E; ISO-8859-2: š B9, ť BB, ž BE,
// Š A9, Ť AB, Ž AE. In the other code page those bytes are rare letters or controls.
void countCzech8Bit(QByteArrayView bytes, qsizetype* windows, qsizetype* iso)
{
    for (const char ch : bytes) {
        switch (static_cast<unsigned char>(ch)) {
        case 0x8A: case 0x8D: case 0x8E: case 0x9A: case 0x9D: case 0x9E:
            ++*windows;
            break;
        case 0xA9: case 0xAB: case 0xAE: case 0xB9: case 0xBB: case 0xBE:
            ++*iso;
            break;
        default:
            break;
        }
    }
}

// Substitutes like ICU's own callback and counts what it substituted.
void countingSubstitute(const void* context, UConverterFromUnicodeArgs* args, const UChar* codeUnits,
                        int32_t length, UChar32 codePoint, UConverterCallbackReason reason, UErrorCode* error)
{
    if (reason == UCNV_UNASSIGNED || reason == UCNV_ILLEGAL || reason == UCNV_IRREGULAR)
        ++*static_cast<qsizetype*>(const_cast<void*>(context));
    UCNV_FROM_U_CALLBACK_SUBSTITUTE(nullptr, args, codeUnits, length, codePoint, reason, error);
}

} // namespace

bool isUtf8(QByteArrayView bytes)
{
    return scanUtf8(bytes).invalid == 0;
}

Utf8Scan scanUtf8(QByteArrayView bytes)
{
    Utf8Scan scan;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype size = bytes.size();
    for (qsizetype at = 0; at < size;) {
        if (p[at] < 0x80) {
            ++at;
            continue;
        }
        const int length = utf8SequenceLength(p + at, size - at);
        if (length == 0) {
            if (scan.firstInvalid < 0)
                scan.firstInvalid = at;
            ++scan.invalid;
            ++at;
            continue;
        }
        ++scan.validMultiByte;
        at += length;
    }
    return scan;
}

std::optional<QString> decode(QByteArrayView bytes, const char* charset, qsizetype* badOffset)
{
    if (badOffset)
        *badOffset = -1;
    if (bytes.isEmpty())
        return knownCharset(QByteArray(charset)) ? std::optional<QString>(QString()) : std::nullopt;
    if (qstricmp(charset, "UTF-8") == 0 || qstricmp(charset, "UTF8") == 0) {
        if (!isUtf8(bytes)) {
            if (badOffset)
                *badOffset = scanUtf8(bytes).firstInvalid;
            return std::nullopt;
        }
        return QString::fromUtf8(bytes);
    }
    Converter converter = openConverter(charset);
    if (!converter)
        return std::nullopt;
    UErrorCode status = U_ZERO_ERROR;
    ucnv_setToUCallBack(converter.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    if (U_FAILURE(status))
        return std::nullopt;
    // Every byte of these code pages gives at most two UTF-16 units.
    QString text(bytes.size() * 2 + 2, Qt::Uninitialized);
    auto* target = reinterpret_cast<UChar*>(text.data());
    auto* const targetBegin = target;
    const char* source = bytes.data();
    ucnv_toUnicode(converter.get(), &target, target + text.size(), &source, bytes.data() + bytes.size(), nullptr,
                   true, &status);
    if (U_FAILURE(status)) {
        if (badOffset)
            *badOffset = std::max<qsizetype>(0, source - bytes.data() - 1);
        return std::nullopt;
    }
    text.resize(target - targetBegin);
    return text;
}

bool knownCharset(const QByteArray& charset)
{
    return !charset.isEmpty() && openConverter(charset.constData()) != nullptr;
}

QByteArray encode(const QString& text, const char* charset, qsizetype* unmappable)
{
    if (unmappable)
        *unmappable = 0;
    if (qstricmp(charset, "UTF-8") == 0)
        return text.toUtf8();
    Converter converter = openConverter(charset);
    if (!converter)
        return {};
    qsizetype count = 0;
    UErrorCode status = U_ZERO_ERROR;
    ucnv_setFromUCallBack(converter.get(), countingSubstitute, &count, nullptr, nullptr, &status);
    ucnv_setSubstChars(converter.get(), "?", 1, &status);
    QByteArray bytes(text.size() * 2 + 8, Qt::Uninitialized);
    status = U_ZERO_ERROR;
    const int32_t length = ucnv_fromUChars(converter.get(), bytes.data(), static_cast<int32_t>(bytes.size()),
                                           reinterpret_cast<const UChar*>(text.constData()),
                                           static_cast<int32_t>(text.size()), &status);
    if (U_FAILURE(status))
        return {};
    bytes.resize(length);
    if (unmappable)
        *unmappable = count;
    return bytes;
}

const char* guessCzech8Bit(QByteArrayView bytes)
{
    qsizetype windows = 0, iso = 0;
    countCzech8Bit(bytes, &windows, &iso);
    return iso > windows ? "ISO-8859-2" : "windows-1250";
}

void Utf8Scanner::feed(QByteArrayView bytes)
{
    QByteArray joined;
    if (!m_pending.isEmpty()) {
        joined = m_pending;
        joined.append(bytes);
        m_pending.clear();
        bytes = joined;
    }
    qsizetype cut = bytes.size();
    for (qsizetype back = 1; back <= 3 && back <= bytes.size(); ++back) {
        const auto byte = static_cast<unsigned char>(bytes[bytes.size() - back]);
        if ((byte & 0xC0) == 0x80)
            continue;
        if (leadLength(byte) > back)
            cut = bytes.size() - back;
        break;
    }
    add(bytes.first(cut));
    m_pending = bytes.sliced(cut).toByteArray();
}

void Utf8Scanner::add(QByteArrayView bytes)
{
    const Utf8Scan scan = scanUtf8(bytes);
    m_scan.validMultiByte += scan.validMultiByte;
    m_scan.invalid += scan.invalid;
    if (m_scan.firstInvalid < 0 && scan.firstInvalid >= 0)
        m_scan.firstInvalid = m_offset + scan.firstInvalid;
    m_offset += bytes.size();
    countCzech8Bit(bytes, &m_windows, &m_iso);
}

Utf8Scan Utf8Scanner::finish()
{
    if (!m_pending.isEmpty()) {
        add(m_pending);
        m_pending.clear();
    }
    return m_scan;
}

const char* Utf8Scanner::czech8Bit() const
{
    return m_iso > m_windows ? "ISO-8859-2" : "windows-1250";
}

DetectedEncoding detectEncoding(QByteArrayView bytes)
{
    const auto starts = [&](const char* mark, int length) {
        return bytes.size() >= length && std::memcmp(bytes.data(), mark, static_cast<std::size_t>(length)) == 0;
    };
    if (starts("\xEF\xBB\xBF", 3))
        return {"UTF-8", 3};
    if (starts("\xFF\xFE", 2))
        return {"UTF-16LE", 2};
    if (starts("\xFE\xFF", 2))
        return {"UTF-16BE", 2};
    if (isUtf8(bytes))
        return {"UTF-8", 0};
    return {guessCzech8Bit(bytes), 0};
}

QString charsetLabel(const char* charset)
{
    if (qstricmp(charset, "windows-1250") == 0)
        return QStringLiteral("Windows-1250");
    return QString::fromLatin1(charset);
}

} // namespace interchange
