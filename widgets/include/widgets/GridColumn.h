#pragma once

#include <QString>

namespace widgets {

// One column of a grid: the field it shows, its title (the field name when
// empty) and its width in pixels (-1 leaves the view's default).
struct GridColumn {
    QString field;
    QString title;
    int width = -1;
};

} // namespace widgets
