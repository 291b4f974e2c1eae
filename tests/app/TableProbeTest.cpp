// The probe that opens the later windows' tables beside start-up: it must say
// which table failed, first in the order given, with the store's own error,
// and stay silent when every table opens.

#include "app/TableProbe.h"

#include "store/Errors.h"
#include "tools/DataDir.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace apptest {
namespace {

TEST(TableProbe, NamesTheFirstTableThatCannotBeOpened)
{
    QTemporaryDir dir;
    const std::filesystem::path work = std::filesystem::path(dir.path().toStdString()) / "work";
    tools::makeDataDir(tools::sourceSeedsDir(), work);
    const std::filesystem::path data = work / "Data";
    const std::vector<std::string> tables = {"Vyrob.db", "Psc.DB", "Cas.db"};

    app::TableProbe sound(data, tables);
    EXPECT_NO_THROW(sound.check());

    std::filesystem::remove(data / "Cas.DB");
    std::ofstream(data / "Psc.DB", std::ios::trunc) << "this is not a table at all, just some bytes of text\n";
    app::TableProbe broken(data, tables);
    try {
        broken.check();
        FAIL() << "no error";
    } catch (const store::StoreError& error) {
        EXPECT_EQ(std::string(error.what()).rfind("Tabulku Psc.DB nelze otevřít", 0), 0u) << error.what();
    }
    // Asked again, it tells the same.
    EXPECT_THROW(broken.check(), store::StoreError);
}

} // namespace
} // namespace apptest
