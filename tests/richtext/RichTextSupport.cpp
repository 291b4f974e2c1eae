#include "RichTextSupport.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextList>

namespace richtext_test {

void ensureApplication()
{
    if (QGuiApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "richtext_tests";
    static char* argv[] = {name, nullptr};
    new QGuiApplication(argc, argv);
}

namespace {

QString runProperties(const QTextDocument& document, const QTextCharFormat& format)
{
    if (format.isImageFormat()) {
        const QTextImageFormat image = format.toImageFormat();
        return QStringLiteral("picture %1x%2").arg(image.width()).arg(image.height());
    }
    const QFont font = format.font().resolve(document.defaultFont());
    QString p = QStringLiteral("%1 %2pt").arg(font.family()).arg(font.pointSizeF());
    if (font.bold())
        p += QStringLiteral(" bold");
    if (font.italic())
        p += QStringLiteral(" italic");
    if (font.underline())
        p += QStringLiteral(" underline");
    if (font.strikeOut())
        p += QStringLiteral(" strike");
    if (format.hasProperty(QTextFormat::ForegroundBrush))
        p += QStringLiteral(" fg") + format.foreground().color().name();
    if (format.hasProperty(QTextFormat::BackgroundBrush))
        p += QStringLiteral(" bg") + format.background().color().name();
    if (format.verticalAlignment() == QTextCharFormat::AlignSuperScript)
        p += QStringLiteral(" super");
    if (format.verticalAlignment() == QTextCharFormat::AlignSubScript)
        p += QStringLiteral(" sub");
    return p;
}

} // namespace

QString describe(const QTextDocument& document)
{
    QString out;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QTextBlockFormat f = block.blockFormat();
        out += QStringLiteral("[align %1 left %2 first %3 right %4")
                   .arg(int(f.alignment() & Qt::AlignHorizontal_Mask))
                   .arg(qRound(f.leftMargin()))
                   .arg(qRound(f.textIndent()))
                   .arg(qRound(f.rightMargin()));
        if (const QTextList* list = block.textList())
            out += QStringLiteral(" list %1").arg(int(list->format().style()));
        out += QStringLiteral("]");
        QString lastProps;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QString props = runProperties(document, fragment.charFormat());
            if (props != lastProps)
                out += QStringLiteral(" <") + props + QStringLiteral(">");
            lastProps = props;
            out += fragment.text();
        }
        out += u'\n';
    }
    return out;
}

QByteArray pngBytes(int width, int height, Qt::GlobalColor colour)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QByteArray jpegBytes(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG");
    return bytes;
}

} // namespace richtext_test
