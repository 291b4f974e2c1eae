// The body-shape pictures the data directory gets: six readable 32 x 32
// bitmaps, each its own drawing, and a picture a user replaced is kept.
#include "TempDir.h"

#include "tools/BodyShapes.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>

namespace {

std::uint32_t le32(const std::vector<std::uint8_t>& bytes, std::size_t at)
{
    return bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) | (static_cast<std::uint32_t>(bytes[at + 3]) << 24);
}

std::vector<std::uint8_t> readFile(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(BodyShapes, SixBitmapsOfThirtyTwoPixels)
{
    TempDir dir;
    tools::writeBodyShapePictures(dir.path() / "Obrazky");
    std::set<std::vector<std::uint8_t>> distinct;
    for (int picture = 1; picture <= 6; ++picture) {
        const auto bytes = readFile(dir.path() / "Obrazky" / ("Tvar" + std::to_string(picture) + ".bmp"));
        ASSERT_EQ(bytes.size(), 54u + 32 * 32 * 3) << picture;
        EXPECT_EQ(bytes[0], 'B');
        EXPECT_EQ(bytes[1], 'M');
        EXPECT_EQ(le32(bytes, 2), bytes.size());
        EXPECT_EQ(le32(bytes, 10), 54u); // pixels after the two headers
        EXPECT_EQ(le32(bytes, 18), 32u);
        EXPECT_EQ(le32(bytes, 22), 32u);
        EXPECT_EQ(bytes[28], 24);        // bits per pixel
        EXPECT_EQ(bytes, tools::bodyShapeBitmap(picture));
        distinct.insert(bytes);
    }
    EXPECT_EQ(distinct.size(), 6u);
    EXPECT_THROW(tools::bodyShapeBitmap(7), std::runtime_error);
}

TEST(BodyShapes, APictureAlreadyThereIsKept)
{
    TempDir dir;
    std::filesystem::create_directories(dir.path() / "Obrazky");
    std::ofstream(dir.path() / "Obrazky" / "Tvar3.bmp") << "mine";
    tools::writeBodyShapePictures(dir.path() / "Obrazky");
    EXPECT_EQ(readFile(dir.path() / "Obrazky" / "Tvar3.bmp"), (std::vector<std::uint8_t>{'m', 'i', 'n', 'e'}));
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "Obrazky" / "Tvar6.bmp"));
}

} // namespace
