#include "tools/Pictures.h"

#include "tools/DataDir.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QString>

#include <array>

namespace fs = std::filesystem;

namespace tools {

namespace {

// One glyph centred on a plain background. The program takes the colour of
// the bottom-left pixel as transparent, so the background is the colour the
// picture usually stands on and the glyph's smoothed edges blend into it.
void renderGlyph(const fs::path& file, const QString& glyph, int size, const QColor& ink,
                 const QColor& background)
{
    if (fs::exists(file))
        return;
    QImage image(size, size, QImage::Format_RGB32);
    image.fill(background);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(size * 7 / 8);
    painter.setFont(font);
    painter.setPen(ink);
    painter.drawText(QRect(0, 0, size, size), Qt::AlignCenter, glyph);
    painter.end();
    // The corner stays the background's colour however the glyph is drawn.
    image.setPixelColor(0, size - 1, background);
    // Whole or not at all: a picture cut short by a kill would be kept for good.
    QSaveFile out(QString::fromStdString(file.string()));
    if (!out.open(QIODevice::WriteOnly) || !image.save(&out, "BMP") || !out.commit())
        throw DataDirError(file.string() + ": cannot be written");
}

} // namespace

void renderZodiacPictures(const fs::path& picturesDir)
{
    struct Sign {
        const char* file;
        char16_t glyph;
    };
    // The Unicode zodiac glyphs U+2648 (Aries) .. U+2653 (Pisces).
    constexpr std::array<Sign, 12> signs = {{
        {"Skopec.bmp", u'\u2648'},
        {"Byk.bmp", u'\u2649'},
        {"Blizenci.bmp", u'\u264A'},
        {"Rak.bmp", u'\u264B'},
        {"Lev.bmp", u'\u264C'},
        {"Panna.bmp", u'\u264D'},
        {"Vahy.bmp", u'\u264E'},
        {"Stir.bmp", u'\u264F'},
        {"Strelec.bmp", u'\u2650'},
        {"Kozoroh.bmp", u'\u2651'},
        {"Vodnar.bmp", u'\u2652'},
        {"Ryby.bmp", u'\u2653'},
    }};
    fs::create_directories(picturesDir);
    // Dark blue on the grey of a button.
    for (const Sign& sign : signs)
        renderGlyph(picturesDir / sign.file, QString(QChar(sign.glyph)), 32, QColor(0, 0, 128),
                    QColor(192, 192, 192));
}

void renderFlowerPictures(const fs::path& picturesDir)
{
    fs::create_directories(picturesDir);
    // Yellow and pink flowers on the green of the name-day panel.
    renderGlyph(picturesDir / "Kvetina1.bmp", QStringLiteral("\u273F"), 32, QColor(255, 230, 0),
                QColor(0, 128, 0));
    renderGlyph(picturesDir / "Kvetina2.bmp", QStringLiteral("\u2740"), 32, QColor(255, 170, 200),
                QColor(0, 128, 0));
}

void renderPictures(const fs::path& picturesDir)
{
    renderZodiacPictures(picturesDir);
    renderFlowerPictures(picturesDir);
}

} // namespace tools
