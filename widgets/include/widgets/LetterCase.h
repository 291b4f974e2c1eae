#pragma once

#include <QValidator>

namespace widgets {

// Turns every letter typed or pasted into a line edit into a capital (or a
// small letter), Czech letters included, before the text changes; so a
// text-change handler sees the converted text once.
class LetterCaseValidator : public QValidator {
public:
    enum class Case { Upper, Lower };
    LetterCaseValidator(Case letterCase, QObject* parent);
    State validate(QString& input, int& position) const override;

private:
    Case m_case;
};

} // namespace widgets
