// libFuzzer target for the RTF reader and writer: any input must load
// without a crash, a hang or a sanitizer report, and what is written back
// must read again to the same text.

#include "richtext/Rtf.h"

#include <QGuiApplication>
#include <QImageReader>
#include <QTextDocument>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication application(*argc, *argv);
    // Pictures are decoded; keep one hostile header from taking seconds.
    QImageReader::setAllocationLimit(32);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QTextDocument first;
    richtext::loadDocument(input, first);
    const QByteArray written = richtext::writeRtf(first);
    QTextDocument second;
    richtext::readRtf(written, second);
    if (second.toPlainText() != first.toPlainText()) {
        // The writer lost or changed text.
        std::fprintf(stderr, "read:    %s\nwritten: %s\nreread:  %s\n",
                     qPrintable(first.toPlainText().toUtf8().toHex(' ')), written.constData(),
                     qPrintable(second.toPlainText().toUtf8().toHex(' ')));
        std::abort();
    }
    return 0;
}
