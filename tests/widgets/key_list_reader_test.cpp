// A search typed into a big table opened moments ago needs the key list the
// table still reads in the background. Waiting for it inside the key's
// handler froze the window: even the typed letter showed only once the list
// was read. The keys must return at once, the list be read between events
// with the progress window beside the window, and the search run once, for
// the text as typed by then.
#include "WidgetsFixture.h"

#include "widgets/KeyListReader.h"

#include "DamagedPage.h"

#include <QLineEdit>
#include <QTest>

#include <cstdio>

using widgets_test::WidgetsFixture;

namespace {

constexpr int kPeople = 30000; // several steps of the read, past the rows read at open

std::string surname(int i)
{
    char text[32];
    std::snprintf(text, sizeof text, "NOVAK %05d", i);
    return text;
}

class KeyListReading : public WidgetsFixture {
protected:
    void SetUp() override
    {
        WidgetsFixture::SetUp();
        std::vector<store::Cursor::RecordWrite> writes;
        for (int i = kPeople - 1; i >= 0; --i)
            writes.push_back({std::nullopt, {surname(i), "Jan", "1"}});
        m_cursor->writeRecords(writes);
        m_cursor.reset();
        m_database.reset();
    }

    // Opens the table as the program opens a big one: its key list read on a thread.
    void openInBackground()
    {
        m_database = std::make_unique<store::Database>(std::filesystem::path(m_dir.path().toStdString()));
        m_database->setBackgroundOrderPages(0);
        m_cursor = std::make_unique<store::Cursor>(*m_database, kTable);
        m_cursor->open();
        ASSERT_TRUE(m_cursor->keyListPending());
    }

    // A quick-search field searching through the reader on every change.
    struct SearchField {
        QWidget window;
        QLineEdit* edit = new QLineEdit(&window);
        widgets::KeyListReader reader{&window, QStringLiteral("Načítá se seznam")};
        QStringList searched;
        explicit SearchField(store::Cursor& cursor)
        {
            QObject::connect(edit, &QLineEdit::textChanged, &window, [this, &cursor] {
                reader.whenRead(cursor, [this, &cursor] {
                    searched.append(edit->text());
                    cursor.findNearest(edit->text().toStdString());
                });
            });
        }
    };
};

TEST_F(KeyListReading, KeysTypedWhileTheListIsReadReturnAtOnceAndMakeOneSearch)
{
    openInBackground();
    SearchField field(*m_cursor);
    showActive(field.window);
    field.edit->setFocus();

    QTest::keyClicks(field.edit, "NOVAK 2");
    EXPECT_EQ(field.edit->text(), "NOVAK 2");
    EXPECT_TRUE(field.searched.isEmpty());
    EXPECT_TRUE(m_cursor->keyListPending()) << "a key's handler read the key list";
    EXPECT_EQ(m_fakes.progress.asideTasks(), 1) << "one progress window for the whole wait";

    QTest::keyClicks(field.edit, "9");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !field.reader.reading(); }, 5000));
    EXPECT_EQ(field.searched, QStringList{QStringLiteral("NOVAK 29")});
    EXPECT_EQ(m_cursor->text("Příjmení"), surname(29000));
    EXPECT_EQ(m_cursor->currentRow(), 29000);
    EXPECT_EQ(m_cursor->rowCount(), kPeople);

    // With the list whole, a key searches at once.
    QTest::keyClick(field.edit, Qt::Key_Backspace);
    EXPECT_EQ(field.searched.size(), 2);
    EXPECT_EQ(m_cursor->text("Příjmení"), surname(20000));
    EXPECT_EQ(m_fakes.progress.asideTasks(), 1);
    EXPECT_TRUE(m_fakes.dialogs.shown().isEmpty());
}

// The list is read on the window thread as soon as a search needs it, so a
// search is answered however little the low-priority thread has read.
TEST_F(KeyListReading, ASaveWhileTheListIsReadKeepsEveryRecordAndTheSearchStillRuns)
{
    openInBackground();
    SearchField field(*m_cursor);
    QTest::keyClicks(field.edit, "NOVAK 1");
    ASSERT_TRUE(field.reader.reading());
    // Before the reader's first share: the save reads the rest at once.
    m_cursor->insertRecord({"NOVAK 10000A", "Petr", "2"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !field.reader.reading(); }, 5000));
    EXPECT_EQ(field.searched, QStringList{QStringLiteral("NOVAK 1")});
    EXPECT_EQ(m_cursor->text("Příjmení"), surname(10000));
    EXPECT_EQ(m_cursor->rowCount(), kPeople + 1);
    m_cursor->next();
    EXPECT_EQ(m_cursor->text("Příjmení"), "NOVAK 10000A");
}

// Damage the read meets is reported once, and the search it waited for does
// not run on a list it could not read; the rows read at open stay.
TEST_F(KeyListReading, DamageMetByTheReadIsReportedAndTheSearchDropped)
{
    testsupport::overwritePage(m_dir.filePath(QString::fromStdString(kTable)).toStdString(),
                               testsupport::kLastRecordsLeaf);
    openInBackground();
    SearchField field(*m_cursor);
    QTest::keyClicks(field.edit, "NOVAK 2");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !field.reader.reading(); }, 5000));
    EXPECT_TRUE(field.searched.isEmpty());
    EXPECT_EQ(m_fakes.dialogs.shown().size(), 1);
    EXPECT_EQ(m_cursor->rowText(0, 0), surname(0));
}

} // namespace
