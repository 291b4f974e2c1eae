// render-icon SVG OUTDIR NAME SIZE...
// Draws the program's icon at each size into OUTDIR/SIZExSIZE/apps/NAME.png,
// the folders of the hicolor icon theme. Part of the build, so the pictures
// always follow the drawing.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc < 5) {
        std::fprintf(stderr, "usage: render-icon SVG OUTDIR NAME SIZE...\n");
        return 2;
    }
    // Rendering needs a GUI application, but no screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    QSvgRenderer renderer(QString::fromLocal8Bit(argv[1]));
    if (!renderer.isValid()) {
        std::fprintf(stderr, "render-icon: cannot read %s\n", argv[1]);
        return 1;
    }
    const QDir out(QString::fromLocal8Bit(argv[2]));
    const QString name = QString::fromLocal8Bit(argv[3]);
    for (int i = 4; i < argc; ++i) {
        const int size = QString::fromLatin1(argv[i]).toInt();
        if (size <= 0) {
            std::fprintf(stderr, "render-icon: bad size %s\n", argv[i]);
            return 2;
        }
        const QString folder = QStringLiteral("%1x%1/apps").arg(size);
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter);
        painter.end();
        const QString file = out.filePath(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
        if (!out.mkpath(folder) || !image.save(file, "PNG")) {
            std::fprintf(stderr, "render-icon: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
