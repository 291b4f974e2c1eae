#include "tools/BodyShapes.h"

#include "tools/DataDir.h"

#include <array>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace tools {

namespace {

constexpr int kSize = 32;

struct Rgb {
    std::uint8_t r, g, b;
};

struct Shape {
    int bellyHalfWidth; // the figure's width grows with the category
    Rgb colour;
    bool warning;       // the exclamation mark of the high-risk picture
};

// Tvar1 .. Tvar6.
constexpr std::array<Shape, 6> kShapes = {{
    {3, {0, 128, 0}, false},
    {5, {128, 128, 0}, false},
    {7, {224, 128, 0}, false},
    {9, {224, 64, 0}, false},
    {5, {128, 0, 128}, true},
    {12, {192, 0, 0}, false},
}};

using Canvas = std::array<std::array<Rgb, kSize>, kSize>; // [y][x], y downwards

bool inEllipse(int x, int y, double cx, double cy, double a, double b)
{
    const double dx = (x - cx) / a;
    const double dy = (y - cy) / b;
    return dx * dx + dy * dy <= 1.0;
}

void fillRect(Canvas& canvas, int x1, int y1, int x2, int y2, Rgb colour)
{
    for (int y = y1; y <= y2; ++y)
        for (int x = x1; x <= x2; ++x)
            if (x >= 0 && x < kSize && y >= 0 && y < kSize)
                canvas[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] = colour;
}

Canvas draw(const Shape& shape)
{
    Canvas canvas;
    for (auto& row : canvas)
        row.fill({255, 255, 255});
    const int w = shape.bellyHalfWidth;
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const bool head = inEllipse(x, y, 15.5, 4.5, 3.6, 3.6);
            const bool body = inEllipse(x, y, 15.5, 15.5, w + 0.6, 7.6);
            if (head || body)
                canvas[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] = shape.colour;
        }
    }
    // Arms slant down from the shoulders, legs stand under the belly.
    for (int step = 0; step <= 16; ++step) {
        const double t = step / 16.0;
        const int dx = static_cast<int>(1 + t * 3.0);
        const int y = 10 + static_cast<int>(t * 10.0);
        const int shoulder = w < 4 ? w : w - 2;
        fillRect(canvas, 15 - shoulder - dx - 1, y, 15 - shoulder - dx, y, shape.colour);
        fillRect(canvas, 16 + shoulder + dx, y, 16 + shoulder + dx + 1, y, shape.colour);
    }
    const int legGap = w / 2;
    fillRect(canvas, 14 - legGap - 1, 22, 15 - legGap, 30, shape.colour);
    fillRect(canvas, 16 + legGap, 22, 17 + legGap + 1, 30, shape.colour);
    if (shape.warning) {
        const Rgb red{255, 0, 0};
        fillRect(canvas, 27, 1, 29, 9, red);
        fillRect(canvas, 27, 12, 29, 14, red);
    }
    return canvas;
}

void put16(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

} // namespace

std::vector<std::uint8_t> bodyShapeBitmap(int picture)
{
    if (picture < 1 || picture > static_cast<int>(kShapes.size()))
        throw DataDirError("no body-shape picture " + std::to_string(picture));
    const Canvas canvas = draw(kShapes[static_cast<std::size_t>(picture - 1)]);
    constexpr std::uint32_t kHeaders = 14 + 40;
    constexpr std::uint32_t kRowBytes = kSize * 3; // 96: already a multiple of 4
    constexpr std::uint32_t kPixels = kRowBytes * kSize;
    std::vector<std::uint8_t> out;
    out.reserve(kHeaders + kPixels);
    out.push_back('B');
    out.push_back('M');
    put32(out, kHeaders + kPixels);
    put32(out, 0);
    put32(out, kHeaders);
    put32(out, 40); // BITMAPINFOHEADER
    put32(out, kSize);
    put32(out, kSize); // positive: rows from the bottom up
    put16(out, 1);
    put16(out, 24);
    put32(out, 0); // no compression
    put32(out, kPixels);
    put32(out, 2835); // 72 dpi
    put32(out, 2835);
    put32(out, 0);
    put32(out, 0);
    for (int y = kSize - 1; y >= 0; --y) {
        for (const Rgb& pixel : canvas[static_cast<std::size_t>(y)]) {
            out.push_back(pixel.b);
            out.push_back(pixel.g);
            out.push_back(pixel.r);
        }
    }
    return out;
}

void writeBodyShapePictures(const fs::path& picturesDir)
{
    fs::create_directories(picturesDir);
    for (int picture = 1; picture <= static_cast<int>(kShapes.size()); ++picture) {
        const fs::path file = picturesDir / ("Tvar" + std::to_string(picture) + ".bmp");
        if (fs::exists(file))
            continue;
        const std::vector<std::uint8_t> bytes = bodyShapeBitmap(picture);
        std::ofstream out(file, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out)
            throw DataDirError(file.string() + ": cannot be written");
    }
}

} // namespace tools
