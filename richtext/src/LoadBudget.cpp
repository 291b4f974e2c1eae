#include "LoadBudget.h"

#include <QLocale>

namespace richtext::detail {

namespace {

QString number(qint64 n)
{
    return QLocale(QLocale::Czech).toString(n);
}

} // namespace

LoadBudget::LoadBudget(const DocumentLimits* limits, const LoadProgress* progress, qint64 total)
    : m_limits(limits), m_progress(progress && *progress ? progress : nullptr), m_total(total)
{
}

bool LoadBudget::progress(qint64 done)
{
    if (m_stopped)
        return false;
    if (m_progress && !(*m_progress)(done, m_total))
        return stop(LoadResult::Status::Cancelled, {});
    return true;
}

bool LoadBudget::stop(LoadResult::Status status, const QString& reason)
{
    if (!m_stopped) {
        m_stopped = true;
        m_status = status;
        m_reason = reason;
    }
    return false;
}

QString LoadBudget::tooManyCharacters() const
{
    return QStringLiteral("dokument má víc než %1 znaků, víc jich editor neotevře")
        .arg(number(m_limits->characters));
}

QString LoadBudget::paragraphTooLong() const
{
    return QStringLiteral("odstavec č. %1 má víc než %2 znaků, delší odstavec editor neotevře")
        .arg(number(m_paragraphsEnded + 1), number(m_limits->paragraphLength));
}

QString LoadBudget::tooManyParagraphs() const
{
    return QStringLiteral("dokument má víc než %1 odstavců, víc jich editor neotevře")
        .arg(number(m_limits->paragraphs));
}

} // namespace richtext::detail
