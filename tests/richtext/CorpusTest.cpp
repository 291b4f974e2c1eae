// Replays the fuzzing corpus: every file found by fuzzing (and every sample
// written by hand) loads without a crash or a sanitizer report, and writing
// it back keeps its text.

#include "RichTextSupport.h"

#include "richtext/Rtf.h"

#include <QDir>
#include <QFile>
#include <QTextDocument>

#include <gtest/gtest.h>

namespace {

TEST(RtfCorpus, EveryFileLoadsAndWritesBack)
{
    richtext_test::ensureApplication();
    const QString root = qEnvironmentVariable("PELMIR_SOURCE_DIR");
    ASSERT_FALSE(root.isEmpty()) << "PELMIR_SOURCE_DIR is not set";
    const QDir corpus(root + QStringLiteral("/richtext/fuzz/corpus"));
    const QStringList files = corpus.entryList(QDir::Files, QDir::Name);
    ASSERT_FALSE(files.isEmpty());
    for (const QString& name : files) {
        QFile file(corpus.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        QTextDocument first;
        richtext::loadDocument(file.readAll(), first);
        QTextDocument second;
        richtext::readRtf(richtext::writeRtf(first), second);
        EXPECT_EQ(second.toPlainText(), first.toPlainText()) << name.toStdString();
    }
}

} // namespace
