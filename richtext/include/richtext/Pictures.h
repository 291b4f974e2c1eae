#pragma once

// Pictures embedded in a document: the decoded image is the document's image
// resource, and the file's own bytes are kept beside it so that writing the
// document stores the picture as it came (a JPEG stays a JPEG).

#include <QByteArray>
#include <QSize>
#include <QSizeF>

class QImage;
class QTextCursor;
class QTextDocument;
class QTextImageFormat;

namespace richtext {

enum class PictureKind { None, Png, Jpeg };

// What the bytes are, by their signature.
PictureKind pictureKind(const QByteArray& bytes);

// The picture's own size in pixels, read from its header; invalid when the
// bytes are not a picture.
QSize pictureSize(const QByteArray& bytes);

// Inserts a PNG or JPEG picture at the cursor, shown at displaySize pixels
// (its own size when empty). False, and nothing inserted, when the bytes are
// not a picture that can be decoded.
bool insertPicture(QTextCursor& cursor, const QByteArray& bytes, QSizeF displaySize = {});

// Inserts an image (one pasted from the clipboard) as a PNG picture at its
// own size. False, and nothing inserted, for a null or too large image.
bool insertImage(QTextCursor& cursor, const QImage& image);

// The PNG or JPEG bytes of a picture in the document (a picture that came
// without its file is encoded as PNG); empty when there is none.
QByteArray pictureBytes(const QTextDocument& document, const QTextImageFormat& format);

} // namespace richtext
