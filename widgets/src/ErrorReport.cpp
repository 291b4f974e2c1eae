#include "widgets/ErrorReport.h"

#include "platform/Platform.h"

#include <QString>
#include <QtGlobal>

namespace widgets {

void reportError(const std::exception& error)
{
    const QString text = QString::fromUtf8(error.what());
    if (platform::Dialogs* dialogs = platform::services().dialogs)
        dialogs->errorBox(text);
    else
        qWarning("%s", qPrintable(text)); // no seams installed: never lose the error
}

} // namespace widgets
