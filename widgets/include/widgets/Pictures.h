#pragma once

#include <QPixmap>
#include <QString>

#include <stdexcept>

namespace widgets {

// A picture file that cannot be read: "Cannot open file Obrazky/Rak.bmp".
class PictureError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Loads a picture of the working directory (`relativePath` as the user knows
// it, e.g. "Obrazky/Rak.bmp"). The colour of its bottom-left pixel becomes
// transparent, as the old bitmap buttons and images drew their pictures.
// Throws PictureError naming the path when the file is missing or unreadable.
QPixmap loadPicture(const QString& relativePath);

} // namespace widgets
