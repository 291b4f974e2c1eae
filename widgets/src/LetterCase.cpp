#include "widgets/LetterCase.h"

#include "store/CzechText.h"

namespace widgets {

LetterCaseValidator::LetterCaseValidator(Case letterCase, QObject* parent)
    : QValidator(parent), m_case(letterCase)
{
}

QValidator::State LetterCaseValidator::validate(QString& input, int& /*position*/) const
{
    const std::string utf8 = input.toStdString();
    const std::string converted =
        m_case == Case::Upper ? store::czechUpper(utf8) : store::czechLower(utf8);
    // Case mapping can change the length of a few letters (ß -> SS); keep the
    // input then rather than move the cursor under the user.
    const QString result = QString::fromStdString(converted);
    if (result.size() == input.size())
        input = result;
    return Acceptable;
}

} // namespace widgets
