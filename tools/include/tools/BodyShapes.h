#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

namespace tools {

// The calculator's six body-shape pictures, 32 x 32 pixels: Tvar1.bmp (normal
// weight) to Tvar4.bmp and Tvar6.bmp (ever stouter figures), and Tvar5.bmp,
// the figure with a warning mark that both underweight and the second degree
// of obesity show. Drawn here, written as 24-bit BMP files into `picturesDir`;
// a picture already there is kept.
void writeBodyShapePictures(const std::filesystem::path& picturesDir);

// One picture as the bytes of its BMP file (1 to 6).
std::vector<std::uint8_t> bodyShapeBitmap(int picture);

} // namespace tools
