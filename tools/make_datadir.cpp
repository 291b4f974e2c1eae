// make-datadir --seeds DIR --out WORKDIR [--program PATH]
// make-datadir --entry-only --out WORKDIR [--program PATH]
// Builds a ready working directory (Data with every table, Zaloha, Obrazky and
// the autostart entry Pelmir.desktop that starts PATH, default "pelmir")
// from the seed files; refuses to touch an existing Data folder. With
// --entry-only it only adds the autostart entry when it is missing.
#include "tools/DataDir.h"

#include "store/Errors.h"

#include <cstring>
#include <exception>
#include <filesystem>
#include <iostream>

namespace {

int usage()
{
    std::cerr << "usage: make-datadir --seeds DIR --out WORKDIR [--program PATH]\n"
                 "       make-datadir --entry-only --out WORKDIR [--program PATH]\n";
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    std::filesystem::path seeds;
    std::filesystem::path out;
    std::filesystem::path program = "pelmir";
    bool entryOnly = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--seeds") == 0 && i + 1 < argc)
            seeds = argv[++i];
        else if (std::strcmp(argv[i], "--out") == 0 && i + 1 < argc)
            out = argv[++i];
        else if (std::strcmp(argv[i], "--program") == 0 && i + 1 < argc)
            program = argv[++i];
        else if (std::strcmp(argv[i], "--entry-only") == 0)
            entryOnly = true;
        else
            return usage();
    }
    if (out.empty() || (seeds.empty() && !entryOnly))
        return usage();

    try {
        if (entryOnly) {
            std::cout << "make-datadir: " << tools::writeAutostartEntry(out, program).string() << '\n';
            return 0;
        }
        tools::makeDataDir(seeds, out);
        tools::writeAutostartEntry(out, program);
    } catch (const std::exception& error) {
        std::cerr << "make-datadir: " << error.what() << '\n';
        return 1;
    }
    std::cout << "make-datadir: built " << (out / "Data").string() << '\n';
    return 0;
}
