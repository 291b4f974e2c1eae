// The block copy every backup is made of.
#include "BackupFixture.h"

#include "backup/FileCopy.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace backuptest {
namespace {

QByteArray pattern(int size)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 7 + i / 2048) % 251);
    return bytes;
}

// Sizes around the 2048-byte block: an off-by-one in the loop drops or
// repeats the last block; an old, longer target must not keep its tail.
TEST(KopirujSoubor, CopiesEverySizeByteForByte)
{
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("zdroj.DB"));
    const QString target = dir.filePath(QStringLiteral("cil.DB"));
    for (int size : {0, 1, 2047, 2048, 2049, 4096, 10000}) {
        writeFile(source, pattern(size));
        writeFile(target, QByteArray(20000, 'x'));
        backup::KopirujSoubor(source, target);
        EXPECT_EQ(readFile(target), pattern(size)) << size;
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
