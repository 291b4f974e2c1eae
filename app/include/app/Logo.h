#pragma once

#include <QPixmap>

namespace app {

// The program's logo, drawn rather than loaded so the program needs no picture files.
QPixmap logoPixmap(int height);

} // namespace app
