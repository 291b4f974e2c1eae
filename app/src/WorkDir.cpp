#include "app/WorkDir.h"

#include "store/Catalogue.h"
#include "tools/DataDir.h"
#include "tools/WorkDir.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <exception>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace app {

namespace {

const QString kCannotCreate = QStringLiteral(
    "Pracovní adresář „%1“ nelze vytvořit: %2. Spusťte program s volbou --workdir a zvolte "
    "jiný adresář.");
const QString kNoSeeds = QStringLiteral(
    "Pracovní adresář „%1“ nelze připravit: chybí výchozí data programu (%2). Přeinstalujte "
    "program.");
const QString kCannotPrepare = QStringLiteral("Pracovní adresář „%1“ nelze připravit: %2.");

// The address table, which every working directory has.
const char* const kAddressTable = "Dat.DB";

fs::path toPath(const QString& path)
{
    return fs::path(path.toStdString());
}

// The reasons a user can act on, in Czech; others as the system words them.
QString reasonText(const std::error_code& code)
{
    if (code.category() == std::generic_category() || code.category() == std::system_category()) {
        switch (code.value()) {
        case EACCES:
        case EPERM:
            return QStringLiteral("přístup odepřen");
        case EROFS:
            return QStringLiteral("disk je jen pro čtení");
        case ENOSPC:
        case EDQUOT:
            return QStringLiteral("na disku není místo");
        case ENOTDIR:
        case EEXIST:
            return QStringLiteral("v cestě stojí soubor, ne adresář");
        case ENAMETOOLONG:
            return QStringLiteral("cesta je příliš dlouhá");
        default:
            break;
        }
    }
    return QString::fromLocal8Bit(code.message());
}

} // namespace

QString userWorkDir(const QString& xdgDataHome, const QString& homeDir)
{
    const QString base = !xdgDataHome.isEmpty() && QDir::isAbsolutePath(xdgDataHome)
                             ? xdgDataHome
                             : QDir(homeDir).filePath(QStringLiteral(".local/share"));
    return QDir::cleanPath(QDir(base).filePath(QStringLiteral("pelmir")));
}

bool holdsWorkingDirectory(const QString& dir)
{
    return QFileInfo(QDir(dir).filePath(QString::fromUtf8(store::kDataDirName) + QLatin1Char('/') +
                                        QString::fromUtf8(kAddressTable)))
        .isFile();
}

WorkDirChoice chooseWorkDir(const CommandLine& commandLine, const QString& currentDir,
                            const QString& userDir)
{
    if (commandLine.workDirGiven)
        return {commandLine.workDir, false};
    if (holdsWorkingDirectory(currentDir))
        return {currentDir, false};
    return {userDir, true};
}

QString prepareWorkDir(const QString& dir, const QString& seedsDir, const QString& program, Pictures pictures)
{
    const fs::path workdir = toPath(dir);
    std::error_code created;
    fs::create_directories(workdir, created);
    if (created || !fs::is_directory(workdir)) {
        return kCannotCreate.arg(QDir::toNativeSeparators(dir),
                                 reasonText(created ? created : std::make_error_code(std::errc::not_a_directory)));
    }
    try {
        if (fs::exists(workdir / store::kDataDirName)) {
            // A directory from an older build gets what came since (entry, pictures).
            if (pictures == Pictures::DrawNow)
                tools::completeWorkDir(workdir, toPath(program));
            return {};
        }
        if (!QFileInfo(seedsDir).isDir())
            return kNoSeeds.arg(QDir::toNativeSeparators(dir), QDir::toNativeSeparators(seedsDir));
        if (pictures == Pictures::DrawNow) {
            tools::makeWorkDir(toPath(seedsDir), workdir, toPath(program));
        } else {
            // The tables and the entry; the first start with windows completes the pictures.
            tools::writeAutostartEntry(workdir, toPath(program));
            tools::makeDataDir(toPath(seedsDir), workdir, tools::KeepCopy::No);
        }
    } catch (const fs::filesystem_error& error) {
        return kCannotPrepare.arg(QDir::toNativeSeparators(dir), reasonText(error.code()));
    } catch (const std::exception& error) {
        // Another start of the program may have built it meanwhile.
        if (holdsWorkingDirectory(dir))
            return {};
        return kCannotPrepare.arg(QDir::toNativeSeparators(dir), QString::fromUtf8(error.what()));
    }
    return {};
}

} // namespace app
