#pragma once

// Small helpers the editor window's source files share.

#include <QString>

class QWidget;

namespace editor::detail {

// A hint "short|long": the short part is the tooltip, the long part the
// status-bar text; a hint without "|" serves as both.
void setHint(QWidget* widget, const QString& hint);

} // namespace editor::detail
