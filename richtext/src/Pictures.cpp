#include "richtext/Pictures.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QPixmap>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>
#include <QVariant>

namespace richtext {

namespace {

// The resource type under which a picture's own file bytes are kept.
constexpr int kPictureFileResource = QTextDocument::UserResource + 1;
constexpr const char* kPictureCountProperty = "richtextPictureCount";
const QString kPictureScheme = QStringLiteral("richtext-picture:");
// A picture larger than this many pixels is not decoded (a hostile header
// could otherwise ask for gigabytes).
constexpr qint64 kMaxPixels = 64LL * 1024 * 1024;

} // namespace

PictureKind pictureKind(const QByteArray& bytes)
{
    if (bytes.startsWith("\x89PNG\r\n\x1a\n"))
        return PictureKind::Png;
    if (bytes.startsWith("\xFF\xD8\xFF"))
        return PictureKind::Jpeg;
    return PictureKind::None;
}

QSize pictureSize(const QByteArray& bytes)
{
    if (pictureKind(bytes) == PictureKind::None)
        return {};
    QByteArray data = bytes;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    return QImageReader(&buffer).size();
}

bool insertPicture(QTextCursor& cursor, const QByteArray& bytes, QSizeF displaySize)
{
    const PictureKind kind = pictureKind(bytes);
    QTextDocument* document = cursor.document();
    if (kind == PictureKind::None || !document)
        return false;
    QByteArray data = bytes; // QBuffer needs a non-const array
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, kind == PictureKind::Png ? "png" : "jpeg");
    const QSize size = reader.size();
    if (!size.isValid() || qint64(size.width()) * size.height() > kMaxPixels)
        return false;
    const QImage image = reader.read();
    if (image.isNull())
        return false;

    const int number = document->property(kPictureCountProperty).toInt() + 1;
    document->setProperty(kPictureCountProperty, number);
    const QUrl name(kPictureScheme + QString::number(number));
    document->addResource(QTextDocument::ImageResource, name, image);
    document->addResource(kPictureFileResource, name, bytes);

    if (displaySize.isEmpty())
        displaySize = image.size();
    QTextImageFormat format;
    format.setName(name.toString());
    format.setWidth(displaySize.width());
    format.setHeight(displaySize.height());
    cursor.insertImage(format);
    return true;
}

bool insertImage(QTextCursor& cursor, const QImage& image)
{
    if (image.isNull() || qint64(image.width()) * image.height() > kMaxPixels)
        return false;
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return false;
    return insertPicture(cursor, png);
}

QByteArray pictureBytes(const QTextDocument& document, const QTextImageFormat& format)
{
    const QUrl name(format.name());
    const QByteArray original = document.resource(kPictureFileResource, name).toByteArray();
    if (pictureKind(original) != PictureKind::None)
        return original;
    const QVariant resource = document.resource(QTextDocument::ImageResource, name);
    QImage image;
    if (resource.userType() == QMetaType::QImage)
        image = qvariant_cast<QImage>(resource);
    else if (resource.userType() == QMetaType::QPixmap)
        image = qvariant_cast<QPixmap>(resource).toImage();
    else if (resource.userType() == QMetaType::QByteArray)
        image.loadFromData(resource.toByteArray());
    if (image.isNull())
        return {};
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

} // namespace richtext
