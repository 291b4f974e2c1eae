#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

namespace tools {

// A seed file that cannot be read or a line that does not fit its table.
// The message starts with "file:line: " where a line is at fault.
class DataDirError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Builds a ready working directory: workdir/Data with every table of the
// catalogue (the reference tables filled from the seed files in `seeds`, the
// user tables empty), plus the folder Zaloha and the folder Obrazky with the
// pictures the program draws (the body shapes of the weight calculator).
// Refuses (DataDirError) when workdir/Data already exists: nothing is overwritten.
// Data appears whole or not at all (it is built under another name and renamed).
// With KeepCopy::Yes, later calls with the same seed folder in one process copy
// the tables built by the first call, so a test can afford a fresh directory
// per case; a program that builds one directory keeps no copy.
enum class KeepCopy { Yes, No };
void makeDataDir(const std::filesystem::path& seeds, const std::filesystem::path& workdir,
                 KeepCopy keepCopy = KeepCopy::Yes);

// The desktop entry the installation delivers in the working directory: the
// one the program copies into the desktop's autostart folder. It starts
// `program` (a bare name is looked up on PATH) on this working directory.
// An entry already there is kept. Returns its path.
inline constexpr const char* kAutostartEntryName = "Pelmir.desktop";
std::filesystem::path writeAutostartEntry(const std::filesystem::path& workdir,
                                          const std::filesystem::path& program);

// The delivered seed files for tests: $PELMIR_SOURCE_DIR/data
// (DataDirError when the variable is not set).
std::filesystem::path sourceSeedsDir();

} // namespace tools
