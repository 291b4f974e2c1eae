#include "editor/RulerGeometry.h"

namespace editor::ruler {

// Integer division truncates toward zero, as the ruler's arithmetic wants:
// x * 4 / 3 is x points in pixels, x * 3 / 4 is x pixels in points.

int firstMarkerLeft(int firstIndent)
{
    return firstIndent * 4 / 3 + 2;
}

int leftMarkerLeft(int firstIndent, int leftIndent)
{
    return (leftIndent + firstIndent) * 4 / 3 + 2;
}

int rightMarkerLeft(int clientWidth, int rightIndent)
{
    return clientWidth - (rightIndent + 6) * 4 / 3 - 6;
}

int dragOffset(int markerWidth)
{
    return markerWidth / 2;
}

int draggedLeft(int left, int x, int offset)
{
    return left + x - offset;
}

int firstIndentAt(int markerLeft, int offset)
{
    return (markerLeft + offset - 6) * 3 / 4;
}

int leftIndentAt(int markerLeft, int offset, int firstIndent)
{
    return (markerLeft + offset - 6) * 3 / 4 - firstIndent;
}

int rightIndentAt(int clientWidth, int markerLeft, int offset)
{
    return (clientWidth - markerLeft + offset - 2) * 3 / 4 - 12;
}

int lineWidth(int clientWidth)
{
    return clientWidth - 2 * kLineOffset;
}

} // namespace editor::ruler
