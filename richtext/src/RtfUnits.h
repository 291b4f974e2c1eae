#pragma once

// Measures shared by the reader and the writer.

namespace richtext::detail {

// Documents measure in pixels at 96 an inch (4/3 of a point); RTF in twips.
inline constexpr double kTwipsPerPixel = 15.0;
// A list paragraph's text stands one list indent (40 pixels) right of its
// margin in the document. In RTF that indent is part of \li, and the bullet
// hangs 360 twips before the text, as word processors write lists.
inline constexpr int kListIndentTwips = 600;
inline constexpr int kListHangTwips = 360;

} // namespace richtext::detail
