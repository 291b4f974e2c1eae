#pragma once

#include "sync/DavClient.h"
#include "sync/LocalSide.h"
#include "sync/SyncEngine.h"

#include "store/Database.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

void ensureApplication();

// A working directory with a fresh data directory.
class SyncFixture : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override { m_database.reset(); }

    QString workDir() const { return m_dir.path(); }
    store::Database& database() { return *m_database; }

    // The address table: key → the five fields.
    std::map<QString, davsync::Fields> addresses();
    void addAddress(const davsync::Fields& fields) { addAddresses({fields}); }
    void addAddresses(const std::vector<davsync::Fields>& records); // one transaction
    void changeAddress(const QString& key, const davsync::Fields& fields);
    void deleteAddress(const QString& key);

    QTemporaryDir m_dir;
    std::unique_ptr<store::Database> m_database;
};

// Answers every question the same way and remembers what was asked.
class ScriptedDecisions : public davsync::SyncDecisions {
public:
    bool confirmPairs(const davsync::LocalSide&, const std::vector<davsync::Pair>& pairs) override
    {
        askedPairs = pairs;
        return acceptPairs;
    }
    std::vector<davsync::Choice> resolve(const davsync::LocalSide&, const std::vector<davsync::Conflict>& conflicts) override
    {
        asked = conflicts;
        return std::vector<davsync::Choice>(conflicts.size(), choice);
    }

    bool acceptPairs = true;
    davsync::Choice choice = davsync::Choice::Server;
    std::vector<davsync::Pair> askedPairs;
    std::vector<davsync::Conflict> asked;
};

davsync::Fields person(const char* surname, const char* first = "", const char* address = "", const char* phone = "",
                       const char* note = "");
