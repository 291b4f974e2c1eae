// make-datadir --seeds DIR --out WORKDIR [--program PATH]
// make-datadir --entry-only --out WORKDIR [--program PATH]
// make-datadir --add-missing --out WORKDIR [--program PATH]
// Builds a ready working directory (Data with every table, Zaloha, Obrazky with
// the pictures and the autostart entry Pelmir.desktop that starts PATH, default
// "pelmir") from the seed files; refuses to touch an existing Data folder. With
// --entry-only it only adds the autostart entry when it is missing; with
// --add-missing it adds that entry and any missing picture to an existing one.
#include "tools/BodyShapes.h"
#include "tools/DataDir.h"
#ifdef PELMIR_PICTURES
#include "tools/WorkDir.h"

#include <QGuiApplication>
#endif

#include "store/Errors.h"

#include <cstring>
#include <exception>
#include <filesystem>
#include <iostream>

namespace {

int usage()
{
    std::cerr << "usage: make-datadir --seeds DIR --out WORKDIR [--program PATH]\n"
                 "       make-datadir --entry-only --out WORKDIR [--program PATH]\n"
                 "       make-datadir --add-missing --out WORKDIR [--program PATH]\n";
    return 2;
}

#ifdef PELMIR_PICTURES
using tools::completeWorkDir;
using tools::makeWorkDir;
#else
// A build without Qt draws only the body shapes (makeDataDir does).
void makeWorkDir(const std::filesystem::path& seeds, const std::filesystem::path& out,
                 const std::filesystem::path& program)
{
    tools::writeAutostartEntry(out, program);
    tools::makeDataDir(seeds, out, tools::KeepCopy::No);
}

void completeWorkDir(const std::filesystem::path& out, const std::filesystem::path& program)
{
    tools::writeAutostartEntry(out, program);
    tools::writeBodyShapePictures(out / "Obrazky");
}
#endif

} // namespace

int main(int argc, char** argv)
{
    std::filesystem::path seeds;
    std::filesystem::path out;
    std::filesystem::path program = "pelmir";
    bool entryOnly = false;
    bool addMissing = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--seeds") == 0 && i + 1 < argc)
            seeds = argv[++i];
        else if (std::strcmp(argv[i], "--out") == 0 && i + 1 < argc)
            out = argv[++i];
        else if (std::strcmp(argv[i], "--program") == 0 && i + 1 < argc)
            program = argv[++i];
        else if (std::strcmp(argv[i], "--entry-only") == 0)
            entryOnly = true;
        else if (std::strcmp(argv[i], "--add-missing") == 0)
            addMissing = true;
        else
            return usage();
    }
    if (out.empty() || (seeds.empty() && !entryOnly && !addMissing))
        return usage();

#ifdef PELMIR_PICTURES
    // The pictures are drawn from the font's glyphs: a GUI application, but no screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
#endif
    try {
        if (entryOnly) {
            std::cout << "make-datadir: " << tools::writeAutostartEntry(out, program).string() << '\n';
            return 0;
        }
        if (addMissing) {
            completeWorkDir(out, program);
            std::cout << "make-datadir: completed " << out.string() << '\n';
            return 0;
        }
        makeWorkDir(seeds, out, program);
    } catch (const std::exception& error) {
        std::cerr << "make-datadir: " << error.what() << '\n';
        return 1;
    }
    std::cout << "make-datadir: built " << (out / "Data").string() << '\n';
    return 0;
}
