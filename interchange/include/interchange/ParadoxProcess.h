#pragma once

// Old Paradox tables are read in a process of our own: pxlib is old C code
// that trusts the files it reads, and a file made to crash it or to make it
// loop must not take the running program (and the user's unsaved work) with
// it. The reading process has limits on its memory, its processor time and
// the time it may take; it writes plain records back, which are checked
// like any other outside input. A crash, a hang or anything malformed ends
// in one Czech message, and nothing is imported.

#include "interchange/Source.h"

#include <QString>
#include <QStringList>

#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace interchange {

struct ReaderLimits {
    qint64 addressSpaceBytes = qint64(2) << 30; // the reading process's whole address space
    int cpuSeconds = 120;
    int wallMilliseconds = 300000;
};

// The reading process: `program` with `arguments`, to which "--read-paradox
// FOLDER" is added. By default the running program itself
// (`pelmir --read-paradox FOLDER`); tests set a helper of their own.
void setParadoxReaderCommand(const QString& program, const QStringList& arguments = {});

// Reads every catalogue table of the folder in the reading process.
// nullopt with `error` (Czech) when the process failed, took too long or
// wrote something malformed; nullopt with an empty `error` when `progress`
// (tables done of all) stopped it. What the library said goes to the log.
std::optional<ImportSource> readParadoxDirectoryApart(const QString& folder, const std::vector<std::string>& passwords,
                                                      const std::function<bool(int done, int total)>& progress = {},
                                                      QString* error = nullptr, const ReaderLimits& limits = {});

// The reading process's side: the passwords come one a line on `in`, the
// tables go to `out`. Returns the exit code.
int runParadoxReader(const QString& folder, std::FILE* in, std::FILE* out);

} // namespace interchange
