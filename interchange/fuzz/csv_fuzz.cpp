// libFuzzer target for the CSV reader: any input reads without a crash, a
// hang or a sanitizer report, and what it read writes back the same.

#include "FuzzChecks.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (const std::optional<QByteArray> written = interchange::fuzz::csvFailure(input)) {
        std::fprintf(stderr, "written:\n%s\n", written->constData());
        std::abort();
    }
    return 0;
}
