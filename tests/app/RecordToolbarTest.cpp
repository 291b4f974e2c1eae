// The record-editing toolbar in every window that has one, in the running
// program: an untouched new record is nothing to save, a failed save keeps
// the record and says why in Czech, and "Zpět" does not hide a record that
// could not be saved. One table of windows; each row says how they differ.

#include "AppFixture.h"

#include "directories/CodeDirectoryForm.h"
#include "directories/PrefixForm.h"
#include "directories/VyrobForm.h"
#include "organiser/OsobZaznamyForm.h"

#include "store/Catalogue.h"
#include "store/Cursor.h"
#include "store/Database.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTest>

#include <sqlite3.h>

#include <functional>

namespace apptest {
namespace {

const QString kNotSaved = QStringLiteral("Záznam nebyl uložen a zůstává rozepsaný.");

struct ToolbarWindow {
    const char* name;
    // The window, made and shown as its menu item does.
    std::function<QWidget*(app::Application&)> open;
    std::function<store::Cursor&(app::Application&)> table;
    const char* file; // the table's file in the data directory
    const char* keyField;
    const char* insert;
    const char* save;
    const char* discard;
    const char* back; // nullptr: the window has no "Zpět"
    QString taken;     // a key the table holds already
    QString duplicateMessage;
    bool dropsDuplicate; // a duplicate goes on saving (postal and vehicle codes)
    // Done after the window opens, before the toolbar is used.
    std::function<void(QWidget&)> arrange;
};

QWidget* shownWith(QWidget* window, const std::function<void()>& show)
{
    show();
    return window;
}

const std::vector<ToolbarWindow>& toolbarWindows()
{
    using app::Application;
    static const std::vector<ToolbarWindow> windows = {
        {"TMainForm", [](Application& a) { return static_cast<QWidget*>(a.mainForm()); },
         [](Application& a) -> store::Cursor& { return a.mainForm()->Table(); }, "Dat.DB", "Příjmení",
         "SpeedButtonVloz", "SpeedButtonPotvrd", "SpeedButtonZrus", nullptr, QStringLiteral("Novák"),
         QStringLiteral("Nelze vložit dvě stejná příjmení. Stejné příjmení už existuje."), false, {}},
        {"TOsobZaznamyForm",
         [](Application& a) {
             auto* form = a.osobZaznamyForm();
             return shownWith(form, [form] { form->showOnFirstRecord(); });
         },
         [](Application& a) -> store::Cursor& { return a.osobZaznamyForm()->TableZaznamy(); }, "Datz.DB", "Název",
         "SpeedButtonVloz", "SpeedButtonPotvrd", "SpeedButtonZrus", "SpeedButtonZpet", QStringLiteral("Hrad"),
         QStringLiteral("Nelze vložit dva stejné názvy. Stejný název už existuje."), false, {}},
        {"TPscForm", [](Application& a) { return shownWith(a.pscForm(), [&a] { a.pscForm()->show(); }); },
         [](Application& a) -> store::Cursor& { return a.pscForm()->Table(); }, "Psc.DB", "MÍSTO", "SpeedButtonVloz",
         "SpeedButtonPotvrd", "SpeedButtonZrus", "BitBtnZpet", QStringLiteral("Brno"),
         QStringLiteral("Nelze vložit dva stejné názvy obcí. Je třeba je odlišit."), true, {}},
        {"TSpzForm", [](Application& a) { return shownWith(a.spzForm(), [&a] { a.spzForm()->show(); }); },
         [](Application& a) -> store::Cursor& { return a.spzForm()->Table(); }, "Spzzem.DB", "ZEMĚ",
         "SpeedButtonVloz", "SpeedButtonPotvrd", "SpeedButtonZrus", "BitBtnSpz", QStringLiteral("Česko"),
         QStringLiteral("Nelze vložit dvě stejné země. Stejná země už v seznamu je."), true, {}},
        {"TTlfCrForm", [](Application& a) { return shownWith(a.tlfCrForm(), [&a] { a.tlfCrForm()->show(); }); },
         [](Application& a) -> store::Cursor& { return a.tlfCrForm()->Table(); }, "TelefCR.DB", "Telefonní obvod",
         "ToolButtonVloz", "ToolButtonPotvrd", "ToolButtonZrus", "ToolButtonZpet", QStringLiteral("Praha"),
         QStringLiteral("Nelze vložit dva stejné telefonní obvody."), false, {}},
        {"TTlfSvtForm", [](Application& a) { return shownWith(a.tlfSvtForm(), [&a] { a.tlfSvtForm()->show(); }); },
         [](Application& a) -> store::Cursor& { return a.tlfSvtForm()->Table(); }, "TelefSvt.DB", "Země",
         "ToolButtonVloz", "ToolButtonPotvrd", "ToolButtonZrus", "ToolButton5", QStringLiteral("Česko"),
         QStringLiteral("Nelze vložit dvě stejné země."), false, {}},
        {"TVyrobForm", [](Application& a) { return shownWith(a.vyrobForm(), [&a] { a.vyrobForm()->show(); }); },
         [](Application& a) -> store::Cursor& { return a.vyrobForm()->Table(); }, "Vyrob.DB", "Výrobek",
         "ToolButtonVloz", "ToolButtonPotvrd", "ToolButtonZrus", "SpeedButtonZpet", QStringLiteral("Lednice"),
         QStringLiteral("Nelze vložit dva stejné názvy výrobku."), false, {}},
    };
    return windows;
}

// The postal codes with the post-office view on: the grid shows a selection,
// the toolbar still edits the table behind it.
ToolbarWindow postOfficeView()
{
    ToolbarWindow view = toolbarWindows()[2];
    view.name = "TPscForm_Posta";
    view.arrange = [](QWidget& window) {
        QTest::mouseClick(window.findChild<QAbstractButton*>(QStringLiteral("SpeedButtonVyber")), Qt::LeftButton);
    };
    return view;
}

class RecordToolbarTest : public AppFixture, public ::testing::WithParamInterface<ToolbarWindow> {
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        beforeStart = [this] {
            store::Database database(workDir() / "Data");
            database.registerPassword(store::dataTablesPassword());
            store::Cursor notes(database, "Datz.db");
            notes.open();
            notes.insertRecord({"Hrad", ""});
            notes.insertRecord({"Chata", ""});
            store::Cursor appliances(database, "Vyrob.db");
            appliances.open();
            appliances.insertRecord({"Lednice", "Calex"});
            appliances.insertRecord({"Pračka", "Whirlpool"});
        };
        startWith(standardAddresses());
        m_window = GetParam().open(*m_app);
        ASSERT_NE(m_window, nullptr);
        QApplication::setActiveWindow(m_window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(m_window));
        if (GetParam().arrange)
            GetParam().arrange(*m_window);
        m_before = keys();
        m_fakes.dialogs.clear();
        m_fakes.tones.clear();
    }

    const ToolbarWindow& w() const { return GetParam(); }
    store::Cursor& edited() { return w().table(*m_app); }
    QAbstractButton* button(const char* name)
    {
        auto* found = m_window->findChild<QAbstractButton*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    void press(const char* name)
    {
        QAbstractButton* pressed = button(name);
        ASSERT_NE(pressed, nullptr);
        ASSERT_TRUE(pressed->isEnabled()) << name;
        QTest::mouseClick(pressed, Qt::LeftButton);
    }
    bool saveEnabled() { return button(w().save)->isEnabled(); }
    // The keys stored in the table, read through a cursor of its own.
    QStringList keys()
    {
        m_app->database().registerPassword(store::dataTablesPassword());
        store::Cursor cursor(m_app->database(), w().file);
        cursor.open();
        QStringList found;
        for (cursor.first(); !cursor.eof(); cursor.next())
            found << QString::fromStdString(cursor.text(w().keyField));
        return found;
    }
    // Insert, then the key typed where the insert put the focus.
    void insertTyping(const QString& key)
    {
        press(w().insert);
        typeText(QApplication::focusWidget(), key);
    }
    // Another program holds the table file while `f` runs.
    void whileLocked(const std::function<void()>& f)
    {
        sqlite3* other = nullptr;
        const QString file = workPath(QStringLiteral("Data/") + QString::fromLatin1(w().file));
        ASSERT_EQ(sqlite3_open(file.toUtf8().constData(), &other), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
        f();
        sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(other);
    }
    bool pending()
    {
        return edited().state() == store::CursorState::Insert || edited().state() == store::CursorState::Edit;
    }

    QWidget* m_window = nullptr;
    QStringList m_before;
};

class UntouchedRecordTest : public RecordToolbarTest {};
class FailedSaveTest : public RecordToolbarTest {};

// Insert and then Save, or "Zpět", with nothing typed: no empty record is
// stored, nothing is reported, nothing stays pending.
TEST_P(UntouchedRecordTest, IsNothingToSave)
{
    press(w().insert);
    press(w().save);
    EXPECT_TRUE(m_fakes.dialogs.shown().isEmpty()) << m_fakes.dialogs.lastBox().text.toStdString();
    EXPECT_EQ(keys(), m_before);
    EXPECT_FALSE(pending());
    EXPECT_FALSE(saveEnabled());
    if (!w().back)
        return;
    press(w().insert);
    press(w().back);
    EXPECT_TRUE(m_fakes.dialogs.shown().isEmpty()) << m_fakes.dialogs.lastBox().text.toStdString();
    EXPECT_FALSE(m_window->isVisible());
    EXPECT_EQ(keys(), m_before);
    EXPECT_FALSE(pending());
}

// A key the table holds: the window's own message in the error box; the
// record stays typed with Save on (the code directories drop it, as their
// message says). "Zpět" then keeps the window open on the record and says
// why again; Discard drops it.
TEST_P(FailedSaveTest, DuplicateKey)
{
    insertTyping(w().taken);
    press(w().save);
    ASSERT_EQ(m_fakes.dialogs.shown().size(), 1);
    EXPECT_EQ(m_fakes.dialogs.lastBox().text, w().duplicateMessage);
    EXPECT_EQ(m_fakes.dialogs.lastBox().icon, platform::Icon::Error);
    EXPECT_EQ(m_fakes.dialogs.lastBox().caption, QStringLiteral("Pelmir a telefony"));
    EXPECT_EQ(keys(), m_before);
    EXPECT_EQ(pending(), !w().dropsDuplicate);
    EXPECT_EQ(saveEnabled(), !w().dropsDuplicate);
    if (w().dropsDuplicate)
        insertTyping(w().taken);
    if (w().back) {
        m_fakes.dialogs.clear();
        press(w().back);
        ASSERT_EQ(m_fakes.dialogs.shown().size(), 1);
        EXPECT_EQ(m_fakes.dialogs.lastBox().text, w().duplicateMessage);
        EXPECT_TRUE(m_window->isVisible());
        EXPECT_TRUE(pending());
        EXPECT_EQ(QString::fromStdString(edited().text(w().keyField)), w().taken);
    }
    press(w().discard);
    EXPECT_FALSE(pending());
    EXPECT_EQ(keys(), m_before);
}

// A save that fails for another reason (the file held by another program)
// says that and why, never that the key exists; the record stays typed and
// is saved once the file is free.
TEST_P(FailedSaveTest, OtherFailureSaysWhy)
{
    insertTyping(QStringLiteral("Nový klíč"));
    whileLocked([&] { press(w().save); });
    ASSERT_EQ(m_fakes.dialogs.shown().size(), 1);
    const QString text = m_fakes.dialogs.lastBox().text;
    EXPECT_TRUE(text.startsWith(kNotSaved)) << text.toStdString();
    EXPECT_TRUE(text.contains(QString::fromLatin1(w().file), Qt::CaseInsensitive)) << text.toStdString();
    EXPECT_EQ(m_fakes.dialogs.lastBox().icon, platform::Icon::Error);
    EXPECT_TRUE(pending());
    EXPECT_TRUE(saveEnabled());
    press(w().save);
    EXPECT_EQ(m_fakes.dialogs.shown().size(), 1) << m_fakes.dialogs.lastBox().text.toStdString();
    EXPECT_TRUE(keys().contains(QStringLiteral("Nový klíč"), Qt::CaseInsensitive));
}

std::string caseName(const ::testing::TestParamInfo<ToolbarWindow>& info)
{
    return info.param.name;
}

std::vector<ToolbarWindow> withPostOfficeView()
{
    std::vector<ToolbarWindow> all = toolbarWindows();
    all.push_back(postOfficeView());
    return all;
}

INSTANTIATE_TEST_SUITE_P(Windows, UntouchedRecordTest, ::testing::ValuesIn(withPostOfficeView()), caseName);
INSTANTIATE_TEST_SUITE_P(Windows, FailedSaveTest, ::testing::ValuesIn(toolbarWindows()), caseName);

} // namespace
} // namespace apptest
