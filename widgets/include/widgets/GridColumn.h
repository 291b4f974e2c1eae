#pragma once

#include <QString>
#include <Qt>

namespace widgets {

// One column of a grid: the field it shows, its title (the field name when
// empty), its width in pixels (-1 leaves the view's default), whether its
// cells can be typed into, and how their text is aligned.
struct GridColumn {
    QString field;
    QString title;
    int width = -1;
    bool readOnly = false;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
};

} // namespace widgets
