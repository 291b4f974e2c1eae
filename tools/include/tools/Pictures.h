#pragma once

// The pictures the program shows, drawn by the project itself from the
// glyphs of the free DejaVu Sans font (licence in data/licences), so none is
// copied from elsewhere. They need a running QGuiApplication.

#include <filesystem>

namespace tools {

// Every picture of the Obrazky folder; files already there are kept.
void renderPictures(const std::filesystem::path& picturesDir);

// The twelve zodiac signs of the name-day window (Vodnar.bmp ... Kozoroh.bmp).
void renderZodiacPictures(const std::filesystem::path& picturesDir);
// The two flowers of the main window's name-day panel (Kvetina1.bmp, Kvetina2.bmp).
void renderFlowerPictures(const std::filesystem::path& picturesDir);

} // namespace tools
