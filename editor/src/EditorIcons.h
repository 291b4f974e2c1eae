#pragma once

#include <QIcon>

namespace editor::detail {

enum class EditIcon { Cut, Copy, Paste };

// The desktop theme's edit icon, or a drawing of scissors, two pages or a
// clipboard where the theme has none.
QIcon editIcon(EditIcon kind);

} // namespace editor::detail
