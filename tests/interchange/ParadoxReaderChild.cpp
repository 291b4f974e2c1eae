// The reading process of Paradox imports for the tests, with ways to fail
// as a damaged file could make it fail: "--crash", "--hang", "--garbage",
// "--greedy" (takes memory until its limit stops it) before "--read-paradox DIR".

#include "interchange/ParadoxProcess.h"

#include <QString>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        if (std::strcmp(argument, "--crash") == 0) {
            std::fputs("pxlib: Could not read data of record.\n", stderr);
            std::abort();
        }
        if (std::strcmp(argument, "--hang") == 0)
            for (;;) {
            }
        if (std::strcmp(argument, "--garbage") == 0) {
            std::fwrite("T\xFF\xFF\xFF\x7F", 1, 5, stdout);
            return 0;
        }
        if (std::strcmp(argument, "--greedy") == 0) {
            std::vector<char*> blocks;
            for (;;) {
                char* block = static_cast<char*>(std::malloc(64 << 20));
                if (!block)
                    std::abort();
                std::memset(block, 1, 64 << 20);
                blocks.push_back(block);
            }
        }
        if (std::strcmp(argument, "--read-paradox") == 0 && i + 1 < argc)
            return interchange::runParadoxReader(QString::fromLocal8Bit(argv[i + 1]), stdin, stdout);
    }
    return 2;
}
