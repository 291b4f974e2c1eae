// make-datadir --seeds DIR --out WORKDIR
// Builds a ready working directory (Data with every table, Zaloha, Obrazky)
// from the seed files; refuses to touch an existing Data folder.
#include "tools/DataDir.h"

#include "store/Errors.h"

#include <cstring>
#include <exception>
#include <filesystem>
#include <iostream>

namespace {

int usage()
{
    std::cerr << "usage: make-datadir --seeds DIR --out WORKDIR\n";
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    std::filesystem::path seeds;
    std::filesystem::path out;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--seeds") == 0 && i + 1 < argc)
            seeds = argv[++i];
        else if (std::strcmp(argv[i], "--out") == 0 && i + 1 < argc)
            out = argv[++i];
        else
            return usage();
    }
    if (seeds.empty() || out.empty())
        return usage();

    try {
        tools::makeDataDir(seeds, out);
    } catch (const std::exception& error) {
        std::cerr << "make-datadir: " << error.what() << '\n';
        return 1;
    }
    std::cout << "make-datadir: built " << (out / "Data").string() << '\n';
    return 0;
}
