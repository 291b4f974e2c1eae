#pragma once

// The whole working directory, as make-datadir and the program's first start
// build it. Drawing the pictures needs a running QGuiApplication.

#include <filesystem>

namespace tools {

// The autostart entry starting `program`, every picture of Obrazky, then the
// tables (makeDataDir(), without a kept copy). Data comes last, so a
// directory that has it is complete. Refuses (DataDirError) when workdir/Data
// already exists.
void makeWorkDir(const std::filesystem::path& seeds, const std::filesystem::path& workdir,
                 const std::filesystem::path& program);

// What a newer build delivers beside the tables, added to an existing working
// directory: a missing autostart entry and missing pictures. The tables are
// not touched.
void completeWorkDir(const std::filesystem::path& workdir, const std::filesystem::path& program);

} // namespace tools
