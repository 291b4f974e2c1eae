#include "widgets/Pictures.h"

#include "platform/Platform.h"

#include <QBitmap>
#include <QDir>
#include <QImage>

namespace widgets {

QPixmap loadPicture(const QString& relativePath)
{
    const platform::Paths* paths = platform::services().paths;
    const QString file = paths ? QDir(paths->workDir()).filePath(relativePath) : relativePath;
    QImage image;
    if (!image.load(file) || image.isNull())
        throw PictureError("Cannot open file " + relativePath.toStdString());
    QPixmap pixmap = QPixmap::fromImage(image);
    const QColor corner = image.pixelColor(0, image.height() - 1);
    pixmap.setMask(pixmap.createMaskFromColor(corner, Qt::MaskInColor));
    return pixmap;
}

} // namespace widgets
