// Replays the fuzzing corpora: every input found by fuzzing (and every
// sample written by hand) reads without a crash, and what is read writes
// back to the same fields.

#include "TestSupport.h"

#include "FuzzChecks.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

QStringList corpus(const char* name)
{
    const QString root = qEnvironmentVariable("PELMIR_SOURCE_DIR");
    const QDir dir(root + QStringLiteral("/interchange/fuzz/corpus/") + QString::fromLatin1(name));
    QStringList files;
    for (const QString& file : dir.entryList(QDir::Files, QDir::Name))
        files.append(dir.filePath(file));
    return files;
}

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(InterchangeCorpus, EveryInputReadsAndWritesBack)
{
    const struct {
        const char* corpus;
        std::optional<QByteArray> (*failure)(const QByteArray&);
    } targets[] = {{"vcard", interchange::fuzz::vcardFailure},
                   {"csv", interchange::fuzz::csvFailure},
                   {"paradox", [](const QByteArray& input) -> std::optional<QByteArray> {
                        interchange::fuzz::readParadoxInput(input);
                        return std::nullopt;
                    }}};
    for (const auto& target : targets) {
        const QStringList files = corpus(target.corpus);
        ASSERT_FALSE(files.isEmpty()) << "PELMIR_SOURCE_DIR is not set or the corpus is missing";
        for (const QString& path : files) {
            const std::optional<QByteArray> written = target.failure(bytesOf(path));
            EXPECT_FALSE(written) << path.toStdString() << " wrote:\n" << written.value_or(QByteArray()).toStdString();
        }
    }
}

} // namespace
