#include "widgets/DeferredErrorReport.h"

#include "platform/Platform.h"
#include "store/Errors.h"

#include <QTimer>
#include <QtGlobal>

namespace widgets {

DeferredErrorReport::DeferredErrorReport(QObject* parent) : QObject(parent) {}

void DeferredErrorReport::failed(const std::exception& error)
{
    const QString text = QString::fromUtf8(error.what());
    if (text == m_text)
        return;
    m_text = text;
    // The engine's account goes to the log now; the box says it in words.
    if (const auto* storeError = dynamic_cast<const store::StoreError*>(&error);
        storeError && !storeError->detail().empty())
        qWarning("%s: %s", storeError->table().c_str(), storeError->detail().c_str());
    if (m_queued)
        return; // the queued box shows the latest text
    m_queued = true;
    // Queued: the box's own event loop must not run inside the paint or the
    // model call that met the error.
    QTimer::singleShot(0, this, [this] { show(); });
}

void DeferredErrorReport::recovered()
{
    if (!m_queued)
        m_text.clear();
}

void DeferredErrorReport::show()
{
    m_queued = false;
    if (m_text.isEmpty())
        return;
    if (platform::Dialogs* dialogs = platform::services().dialogs)
        dialogs->errorBox(m_text);
    else
        qWarning("%s", qPrintable(m_text));
}

} // namespace widgets
