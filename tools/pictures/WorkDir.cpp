#include "tools/WorkDir.h"

#include "tools/BodyShapes.h"
#include "tools/DataDir.h"
#include "tools/Pictures.h"

#include "store/Catalogue.h"

namespace fs = std::filesystem;

namespace tools {

namespace {
constexpr const char* kPicturesDirName = "Obrazky";
} // namespace

void makeWorkDir(const fs::path& seeds, const fs::path& workdir, const fs::path& program)
{
    const fs::path dataDir = workdir / store::kDataDirName;
    if (fs::exists(dataDir))
        throw DataDirError(dataDir.string() + " already exists; it is never overwritten");
    fs::create_directories(workdir);
    writeAutostartEntry(workdir, program);
    renderPictures(workdir / kPicturesDirName);
    makeDataDir(seeds, workdir, KeepCopy::No);
}

void completeWorkDir(const fs::path& workdir, const fs::path& program)
{
    writeAutostartEntry(workdir, program);
    writeBodyShapePictures(workdir / kPicturesDirName);
    renderPictures(workdir / kPicturesDirName);
}

} // namespace tools
