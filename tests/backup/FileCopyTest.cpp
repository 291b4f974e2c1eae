// The file copy every backup is made of.
#include "BackupFixture.h"

#include "backup/FileCopy.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>
#include <thread>

namespace backuptest {
namespace {

QByteArray pattern(int size)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 7 + i / 4096) % 251);
    return bytes;
}

constexpr int kBlock = 1 << 20; // the plain copy's block

// A table file is copied inside the kernel; a source the kernel cannot copy
// from (a pipe here) takes the plain copy in blocks. Sizes around the block:
// an off-by-one in the loop drops or repeats the last one; an old, longer
// target must not keep its tail.
TEST(KopirujSoubor, CopiesEverySizeByteForByte)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("zdroj.DB"));
    const QString pipe = dir.filePath(QStringLiteral("roura"));
    const QString target = dir.filePath(QStringLiteral("cil.DB"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    for (const bool fromPipe : {false, true}) {
        for (int size : {0, 1, 4095, kBlock - 1, kBlock, kBlock + 1, 3 * kBlock + 5}) {
            SCOPED_TRACE(std::to_string(size) + (fromPipe ? " from a pipe" : " from a file"));
            writeFile(target, QByteArray(4 * kBlock, 'x'));
            std::thread writer;
            if (fromPipe) {
                writer = std::thread([&pipe, size] { writeFile(pipe, pattern(size)); });
            } else {
                writeFile(file, pattern(size));
            }
            backup::KopirujSoubor(fromPipe ? pipe : file, target);
            if (writer.joinable())
                writer.join();
            EXPECT_EQ(readFile(target), pattern(size));
        }
    }
}

// Each failure names the file and the reason in Czech; a full disk is an
// error, never a shorter copy counted as done.
TEST(KopirujSoubor, FailuresNameTheFileAndTheReason)
{
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("zdroj.DB"));
    writeFile(source, pattern(5000));
    struct Case {
        QString source;
        QString target;
        QString expected;
    };
    const Case cases[] = {
        {dir.filePath(QStringLiteral("chybi.DB")), dir.filePath(QStringLiteral("cil.DB")),
         QStringLiteral("Soubor „%1“ nelze otevřít: soubor nebo adresář neexistuje.")
             .arg(dir.filePath(QStringLiteral("chybi.DB")))},
        {source, dir.filePath(QStringLiteral("Zaloha/cil.DB")),
         QStringLiteral("Soubor „%1“ nelze vytvořit: soubor nebo adresář neexistuje.")
             .arg(dir.filePath(QStringLiteral("Zaloha/cil.DB")))},
        {source, QStringLiteral("/dev/full"),
         QStringLiteral("Chyba při zápisu do souboru „/dev/full“: na disku není dost místa.")},
    };
    for (const Case& c : cases) {
        try {
            backup::KopirujSoubor(c.source, c.target);
            ADD_FAILURE() << "no error for " << c.target.toStdString();
        } catch (const backup::BackupError& error) {
            EXPECT_EQ(error.message(), c.expected);
        }
    }
}

} // namespace
} // namespace backuptest
