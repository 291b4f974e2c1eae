#include "widgets/FieldLength.h"

#include <QTextBoundaryFinder>

#include <algorithm>

namespace widgets {

int characterCount(const QString& text)
{
    int count = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!(text.at(i).isLowSurrogate() && i > 0 && text.at(i - 1).isHighSurrogate()))
            ++count;
    }
    return count;
}

QString withoutLineBreaks(const QString& text, int* cursor)
{
    QString out;
    out.reserve(text.size());
    const int oldCursor = cursor ? *cursor : 0;
    int newCursor = oldCursor;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const bool crlf = c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n';
        if (crlf) {
            out += u' ';
            if (i + 1 < oldCursor)
                --newCursor; // two units became one
            ++i;
        } else if (c == u'\r' || c == u'\n' || c == QChar(0x2028) || c == QChar(0x2029)) {
            out += u' ';
        } else {
            out += c;
        }
    }
    if (cursor)
        *cursor = newCursor;
    return out;
}

FittedText fitInserted(const QString& text, int cursor, int allowed)
{
    cursor = std::clamp(cursor, 0, static_cast<int>(text.size()));
    int excess = characterCount(text) - allowed;
    if (excess <= 0)
        return {text, cursor};
    // Step back from the cursor over whole characters until enough are gone...
    int cut = cursor;
    while (excess > 0 && cut > 0) {
        --cut;
        if (text.at(cut).isLowSurrogate() && cut > 0 && text.at(cut - 1).isHighSurrogate())
            --cut;
        --excess;
    }
    // ...then on to the start of the letter, so no accent or half a flag stays.
    QTextBoundaryFinder letters(QTextBoundaryFinder::Grapheme, text);
    letters.setPosition(cut);
    if (!letters.isAtBoundary()) {
        const qsizetype start = letters.toPreviousBoundary();
        if (start >= 0)
            cut = static_cast<int>(start);
    }
    return {text.left(cut) + text.mid(cursor), cut};
}

FieldLengthValidator::FieldLengthValidator(int width, bool singleLine, QObject* parent)
    : QValidator(parent), m_width(width), m_singleLine(singleLine), m_allowed(width)
{
}

void FieldLengthValidator::setWidth(int width)
{
    m_width = width;
    m_allowed = width;
}

void FieldLengthValidator::setStoredText(const QString& text)
{
    m_allowed = std::max(m_width, characterCount(text));
}

bool FieldLengthValidator::fits(const QString& text) const
{
    return m_width <= 0 || characterCount(text) <= m_width;
}

QValidator::State FieldLengthValidator::validate(QString& input, int& pos) const
{
    if (m_singleLine && (input.contains(u'\n') || input.contains(u'\r') ||
                         input.contains(QChar(0x2028)) || input.contains(QChar(0x2029))))
        input = withoutLineBreaks(input, &pos);
    if (m_width <= 0 || characterCount(input) <= m_allowed)
        return Acceptable;
    const FittedText fitted = fitInserted(input, pos, m_allowed);
    input = fitted.text;
    pos = fitted.cursor;
    return Acceptable;
}

} // namespace widgets
