#pragma once

#include <QString>
#include <QValidator>

namespace widgets {

// The length of a text as the store counts a field's width: in characters
// (Unicode code points), so "Dvořák" is 6 and an emoji 1, not its two
// UTF-16 units.
int characterCount(const QString& text);

// A single-line field's text with its line breaks (CR LF, CR, LF, the Unicode
// line and paragraph separators) turned into one blank each; `cursor` (a
// UTF-16 position) moves with the text.
QString withoutLineBreaks(const QString& text, int* cursor = nullptr);

// What typing or pasting left when the text may hold at most `allowed`
// characters: the part inserted just before `cursor` is shortened from its
// end, never in the middle of a character or of a letter with its accents,
// and the text before and after it is kept whole. The caller guarantees that
// the text held no more than `allowed` characters before the insertion.
struct FittedText {
    QString text;
    int cursor = 0;
};
FittedText fitInserted(const QString& text, int cursor, int allowed);

// The limit of a data-aware edit or grid cell: at most `width` characters
// (0: no limit), single-line fields without line breaks. A stored value
// longer than the width (from an older file) is shown and kept whole; the
// user may shorten it but not make it longer, and the control writes it into
// the record only once it fits (the store refuses a longer text).
class FieldLengthValidator : public QValidator {
    Q_OBJECT
public:
    FieldLengthValidator(int width, bool singleLine, QObject* parent = nullptr);

    void setWidth(int width);
    // The text the edit shows now, stored or typed: it may stay as long as it
    // is, but no longer where that is past the width.
    void setStoredText(const QString& text);
    // Whether a text is short enough for the field.
    bool fits(const QString& text) const;
    // The most characters the text may have now.
    int allowed() const { return m_allowed; }

    State validate(QString& input, int& pos) const override;

private:
    int m_width;
    bool m_singleLine;
    int m_allowed;
};

} // namespace widgets
