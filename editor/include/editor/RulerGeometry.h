#pragma once

// The ruler's arithmetic: indents in whole points, marker positions in
// pixels at 4/3 pixels a point, every fraction truncated toward zero.

namespace editor::ruler {

inline constexpr int kLineOffset = 4; // the ruler line's distance from either edge

// The left edges of the three markers for a paragraph's indents.
int firstMarkerLeft(int firstIndent);
int leftMarkerLeft(int firstIndent, int leftIndent);
int rightMarkerLeft(int clientWidth, int rightIndent);

// A marker being dragged: the offset is half its width (remainder dropped);
// x is the pointer's position within the marker.
int dragOffset(int markerWidth);
int draggedLeft(int left, int x, int offset);

// The indents a dropped marker gives.
int firstIndentAt(int markerLeft, int offset);
int leftIndentAt(int markerLeft, int offset, int firstIndent);
int rightIndentAt(int clientWidth, int markerLeft, int offset);

int lineWidth(int clientWidth);

} // namespace editor::ruler
