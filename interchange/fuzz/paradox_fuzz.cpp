// libFuzzer target for the Paradox reader: any table file, crafted header or
// records, reads or is refused with its reason, without a crash, a hang or a
// sanitizer report. The first byte picks the catalogue table it is read as.

#include "FuzzChecks.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    interchange::fuzz::readParadoxInput(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    return 0;
}
