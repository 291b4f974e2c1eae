#pragma once

// A freshly built working directory with every outside effect faked.

#include "backup/BackupCommands.h"
#include "backup/TZalhForm.h"
#include "platform/Fakes.h"
#include "store/Cursor.h"
#include "store/Database.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace backuptest {

// gtest's main makes no QApplication; the first test that needs one makes it.
void ensureApplication();

// The tables' files in the order every backup copies them.
extern const QStringList kTableFiles;

// A control of a window by the name the user knows it by.
template <typename T> T* findControl(const QWidget& window, const char* name)
{
    T* found = window.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

QByteArray readFile(const QString& path);
void writeFile(const QString& path, const QByteArray& bytes);
// The names of the regular files in a folder, sorted.
QStringList filesIn(const QString& dir);

class BackupFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    QString workPath(const QString& name = {}) const;
    QString dataPath(const QString& name = {}) const;   // in Data
    QString backupPath(const QString& name = {}) const; // in Zaloha

    // A store on the working directory's Data, with the password and the fake clock.
    store::Database& database() { return *m_database; }
    // Adds addresses (surname and first name) through a cursor of its own.
    void addAddresses(const std::vector<std::string>& surnames);
    // The records of a table in a folder, read through a store of its own:
    // the first field of each, in reading order.
    static std::vector<std::string> firstFields(const QString& dir, const std::string& table);
    // Restores a copy of a working directory (its Data and Zaloha, a staged
    // backup included) as the restore program does and returns the surnames
    // it brought back; empty when the restore refused.
    static std::vector<std::string> restoredSurnames(const QString& workDir);

    platform::ScopedFakeServices m_fakes;
    std::unique_ptr<store::Database> m_database;
};

// The backup commands on that working directory, with the log window they log through.
class CommandsFixture : public BackupFixture {
protected:
    void SetUp() override;
    void TearDown() override;
    // Ends the windows and the store, as the program does before a restore.
    void closeEverything();

    // Each log entry as "Čas|ČasDisk".
    QStringList logEntries();

    static const QString kRestoreProgram;
    std::unique_ptr<backup::TZalhForm> m_log;
    std::unique_ptr<backup::BackupCommands> m_commands;
    int m_ended = 0;
};

} // namespace backuptest
