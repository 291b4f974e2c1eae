#include "app/TableCheckReport.h"

#include "platform/Platform.h"
#include "store/TableCheck.h"

namespace app {

TableCheckReport::TableCheckReport(std::vector<std::filesystem::path> files)
{
    m_check = std::make_unique<store::BackgroundTableCheck>(
        std::move(files),
        [this](const std::string&, const std::string& text) {
            const std::lock_guard lock(m_mutex);
            m_found << QString::fromStdString(text);
        },
        // The box belongs to the window thread; a queued call is dropped
        // when this object goes first.
        [this] { QMetaObject::invokeMethod(this, [this] { showFound(); }, Qt::QueuedConnection); });
}

TableCheckReport::~TableCheckReport()
{
    // The thread stops before the texts and this object go.
    m_check.reset();
}

void TableCheckReport::wait()
{
    m_check->wait();
}

void TableCheckReport::showFound()
{
    QStringList found;
    {
        const std::lock_guard lock(m_mutex);
        found.swap(m_found);
    }
    if (!found.isEmpty() && platform::services().dialogs)
        platform::services().dialogs->errorBox(found.join(QStringLiteral("\n\n")));
}

} // namespace app
