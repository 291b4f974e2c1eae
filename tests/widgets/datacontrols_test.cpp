#include "WidgetsFixture.h"

#include "widgets/DBGrid.h"
#include "widgets/DBNavigator.h"
#include "widgets/DataControls.h"
#include "widgets/ErrorReport.h"

#include "store/Errors.h"
#include "store/Query.h"
#include "store/TableDef.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QTextBlock>
#include <QSignalSpy>
#include <QTest>

using widgets_test::WidgetsFixture;

namespace {

class DataControlsTest : public WidgetsFixture {
protected:
    void SetUp() override
    {
        WidgetsFixture::SetUp();
        addPeople({"Beneš", "Černý", "Dvořák"});
    }
};

// A label follows the current record, keeps still during a suspended walk,
// shows where the walk ended on resume, and can be switched to another data set.
TEST_F(DataControlsTest, LabelFollowsTheCursorAndStaysPutWhileSuspended)
{
    widgets::DBText label;
    label.setDataSet(m_cursor.get());
    label.setDataField(QStringLiteral("PŘÍJMENÍ")); // field names ignore case
    EXPECT_EQ(label.text(), QStringLiteral("Beneš"));
    m_cursor->next();
    EXPECT_EQ(label.text(), QStringLiteral("Černý"));

    m_cursor->disableControls();
    m_cursor->last();
    EXPECT_EQ(label.text(), QStringLiteral("Černý"));
    m_cursor->enableControls();
    EXPECT_EQ(label.text(), QStringLiteral("Dvořák"));

    store::Cursor other(*m_database, kTable);
    other.open();
    label.setDataSet(&other);
    EXPECT_EQ(label.text(), QStringLiteral("Beneš"));
    m_cursor->first();
    other.last();
    EXPECT_EQ(label.text(), QStringLiteral("Dvořák"));
    label.setDataSet(nullptr);
    EXPECT_EQ(label.text(), QString());
}

// Typing into a bound edit starts the edit once and writes each keystroke into
// the pending record, so modified() is right before the edit loses focus.
TEST_F(DataControlsTest, EditTypingStartsTheEditAndWritesThePendingRecord)
{
    widgets::DBEdit edit;
    edit.setDataSet(m_cursor.get());
    edit.setDataField(QStringLiteral("Telefon"));
    EXPECT_EQ(edit.text(), QStringLiteral("1"));
    QTest::keyClicks(&edit, QStringLiteral("23"));
    EXPECT_EQ(m_afterEdit, 1);
    EXPECT_EQ(m_cursor->state(), store::CursorState::Edit);
    EXPECT_TRUE(m_cursor->modified());
    EXPECT_EQ(m_cursor->text("Telefon"), "123");
    EXPECT_EQ(edit.text(), QStringLiteral("123"));
    m_cursor->cancel();
    EXPECT_EQ(edit.text(), QStringLiteral("1"));
}

// A memo and a rich-text area write what is typed and show the record's text;
// the rich-text area stores through its conversion hooks.
TEST_F(DataControlsTest, MemoAndRichEditWriteAndShowTheField)
{
    widgets::DBMemo memo;
    memo.setDataSet(m_cursor.get());
    memo.setDataField(QStringLiteral("Jméno"));
    EXPECT_EQ(memo.toPlainText(), QStringLiteral("JBeneš"));
    QTest::keyClicks(&memo, QStringLiteral("x"));
    EXPECT_EQ(m_cursor->state(), store::CursorState::Edit);
    EXPECT_EQ(m_afterEdit, 1);
    m_cursor->cancel();
    EXPECT_EQ(memo.toPlainText(), QStringLiteral("JBeneš"));

    widgets::DBRichEdit rich;
    rich.setConversion([](QTextEdit& e, const QString& stored) { e.setPlainText(stored.mid(1)); return true; },
                       [](const QTextEdit& e) { return QLatin1Char('#') + e.toPlainText(); });
    rich.setDataSet(m_cursor.get());
    rich.setDataField(QStringLiteral("Jméno"));
    EXPECT_EQ(rich.toPlainText(), QStringLiteral("Beneš"));
    rich.moveCursor(QTextCursor::End);
    QTest::keyClicks(&rich, QStringLiteral("!"));
    EXPECT_EQ(m_cursor->text("Jméno"), "#Beneš!");
    EXPECT_EQ(m_afterEdit, 2);
}

// A formatted memo, as the notebook's text, holding "JBeneš" and "Druhá":
// RTF is far longer than the text it shows.
std::string makeNotesTable(const QTemporaryDir& dir)
{
    store::TableDef def;
    def.fileName = "Pozn.DB";
    def.fields = {{"Příjmení", store::FieldKind::Text, 30, store::FieldDefault::None},
                  {"Jméno", store::FieldKind::FormattedMemo, 0, store::FieldDefault::None}};
    def.primaryKey = "Příjmení";
    store::Database::createTable(dir.path().toStdString(), def, "");
    store::Database database(dir.path().toStdString());
    store::Cursor notes(database, def.fileName);
    notes.open();
    notes.insertRecord({"A", "JBeneš"});
    notes.insertRecord({"B", "Druhá"});
    return def.fileName;
}

// Without hooks the rich-text area keeps its field as RTF: formatting typed
// in is stored, and a field that holds plain text shows it unchanged.
TEST_F(DataControlsTest, RichEditStoresRtf)
{
    store::Cursor notes(*m_database, makeNotesTable(m_dir));
    notes.open();
    notes.first();
    widgets::DBRichEdit rich;
    rich.setDataSet(&notes);
    rich.setDataField(QStringLiteral("Jméno"));
    EXPECT_EQ(rich.toPlainText(), QStringLiteral("JBeneš"));
    rich.selectAll();
    rich.setFontWeight(QFont::Bold);
    const QString stored = QString::fromStdString(notes.text("Jméno"));
    EXPECT_TRUE(stored.startsWith(QStringLiteral("{\\rtf1"))) << stored.toStdString();
    notes.post();
    notes.next();
    notes.prior();
    EXPECT_EQ(rich.toPlainText(), QStringLiteral("JBeneš"));
    EXPECT_EQ(rich.document()->begin().begin().fragment().charFormat().fontWeight(), QFont::Bold);
}

// A memo or rich-text area with a limit refuses the character past it, cuts a
// paste to what fits, and still shows a longer stored text whole.
template <typename Edit> void checkMaxLength(store::Cursor& cursor)
{
    cursor.first();
    Edit edit;
    edit.setMaxLength(8);
    edit.setDataSet(&cursor);
    edit.setDataField(QStringLiteral("Jméno"));
    edit.moveCursor(QTextCursor::End);
    QTest::keyClicks(&edit, QStringLiteral("abc"));
    EXPECT_EQ(edit.toPlainText(), QStringLiteral("JBenešab")); // the 9th character is refused
    QTest::keyClick(&edit, Qt::Key_Return);
    EXPECT_EQ(edit.toPlainText(), QStringLiteral("JBenešab"));
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QApplication::clipboard()->setText(QStringLiteral("xyz"));
    edit.paste();
    EXPECT_EQ(edit.toPlainText(), QStringLiteral("JBenešxy"));
    EXPECT_EQ(cursor.text("Jméno").empty(), false);
    cursor.cancel();
    cursor.insertRecord({"Dlouhý", "Jméno delší než osm"});
    ASSERT_TRUE(cursor.findKey("Dlouhý"));
    EXPECT_EQ(edit.toPlainText(), QStringLiteral("Jméno delší než osm"));
    cursor.remove();
}

TEST_F(DataControlsTest, MaxLengthRefusesTheCharacterPastTheLimit)
{
    checkMaxLength<widgets::DBMemo>(*m_cursor);
    // Rich text is stored as RTF, so it needs a memo without a width.
    store::Cursor notes(*m_database, makeNotesTable(m_dir));
    notes.open();
    checkMaxLength<widgets::DBRichEdit>(notes);
}

// A bound control on a read-only selection cannot change it.
TEST_F(DataControlsTest, ReadOnlyDataSetMakesEditsReadOnly)
{
    store::Query query(*m_database);
    query.setSql("select * from Adr");
    query.open();
    widgets::DBEdit edit;
    edit.setDataSet(&query);
    edit.setDataField(QStringLiteral("Jméno"));
    EXPECT_TRUE(edit.isReadOnly());
    EXPECT_EQ(edit.text(), QStringLiteral("JBeneš"));
    edit.setDataSet(nullptr);
}

// Choosing an item of the look-up list makes its record current; a cursor
// move selects the item.
TEST_F(DataControlsTest, LookupListChoosesAndFollowsTheRecord)
{
    widgets::DBLookupList list;
    list.setDataSet(m_cursor.get());
    list.setDataField(QStringLiteral("Příjmení"));
    list.resize(200, 200);
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    ASSERT_EQ(list.model()->rowCount(), 3);
    EXPECT_EQ(list.model()->index(1, 0).data().toString(), QStringLiteral("Černý"));
    const QModelIndex third = list.model()->index(2, 0);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualRect(third).center());
    EXPECT_EQ(m_cursor->currentRow(), 2);
    m_cursor->first();
    EXPECT_EQ(list.currentIndex().row(), 0);
}

struct NavigatorCase {
    const char* name;
    widgets::DBNavigator::Button button;
    int rowAfter;
};

class DBNavigatorTest : public DataControlsTest,
                        public ::testing::WithParamInterface<NavigatorCase> {};

// Each button moves the data set and then reports the click; afterwards only
// the buttons that can still move are enabled.
TEST_P(DBNavigatorTest, ButtonMovesAndEmitsClicked)
{
    using B = widgets::DBNavigator::Button;
    const NavigatorCase& c = GetParam();
    widgets::DBNavigator navigator;
    navigator.setDataSet(m_cursor.get());
    navigator.show();
    m_cursor->moveToRow(1);
    QSignalSpy clicked(&navigator, &widgets::DBNavigator::clicked);
    QAbstractButton* button =
        navigator.findChild<QAbstractButton*>(widgets::DBNavigator::objectNameOf(c.button));
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(button->isEnabled());
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(m_cursor->currentRow(), c.rowAfter);
    ASSERT_EQ(clicked.count(), 1);
    EXPECT_EQ(clicked.at(0).at(0).value<B>(), c.button);
    for (B b : {B::First, B::Prior})
        EXPECT_EQ(navigator.button(b)->isEnabled(), m_cursor->currentRow() > 0);
    for (B b : {B::Next, B::Last})
        EXPECT_EQ(navigator.button(b)->isEnabled(), m_cursor->currentRow() < m_cursor->rowCount() - 1);
    navigator.setDataSet(nullptr);
}

using B = widgets::DBNavigator::Button;
INSTANTIATE_TEST_SUITE_P(Buttons, DBNavigatorTest,
                         ::testing::Values(NavigatorCase{"First", B::First, 0},
                                           NavigatorCase{"Prior", B::Prior, 0},
                                           NavigatorCase{"Next", B::Next, 2},
                                           NavigatorCase{"Last", B::Last, 2}),
                         [](const auto& info) { return std::string(info.param.name); });

// At either end the buttons that cannot move any further go grey; a move made
// elsewhere (not through the navigator) updates them too.
TEST_F(DataControlsTest, NavigatorGreysTheButtonsAtTheEnds)
{
    widgets::DBNavigator navigator;
    navigator.setDataSet(m_cursor.get());
    navigator.show();
    EXPECT_FALSE(navigator.button(B::First)->isEnabled());
    EXPECT_FALSE(navigator.button(B::Prior)->isEnabled());
    EXPECT_TRUE(navigator.button(B::Next)->isEnabled());
    QTest::mouseClick(navigator.button(B::Last), Qt::LeftButton);
    EXPECT_EQ(m_cursor->currentRow(), 2);
    EXPECT_FALSE(navigator.button(B::Next)->isEnabled());
    EXPECT_FALSE(navigator.button(B::Last)->isEnabled());
    EXPECT_TRUE(navigator.button(B::Prior)->isEnabled());
    m_cursor->first();
    EXPECT_FALSE(navigator.button(B::First)->isEnabled());
    EXPECT_TRUE(navigator.button(B::Last)->isEnabled());
    navigator.setDataSet(nullptr);
}

// Only the four moving buttons show by default; hints land on the buttons.
TEST_F(DataControlsTest, NavigatorShowsFourButtonsWithHints)
{
    widgets::DBNavigator navigator;
    navigator.setHint(B::First, QStringLiteral("Na začátek adresáře"));
    navigator.show();
    EXPECT_TRUE(navigator.button(B::Last)->isVisible());
    EXPECT_FALSE(navigator.button(B::Insert)->isVisible());
    EXPECT_EQ(navigator.button(B::First)->toolTip(), QStringLiteral("Na začátek adresáře"));
    EXPECT_EQ(navigator.button(B::Next)->objectName(), QStringLiteral("Next"));
    EXPECT_FALSE(navigator.button(B::Next)->isEnabled()); // no data set: nothing to move
    // Every button has a picture of its own (drawn, not taken from the icon theme).
    QList<QImage> pictures;
    for (int i = 0; i < widgets::DBNavigator::kButtonCount; ++i) {
        const QImage picture = navigator.button(static_cast<B>(i))->icon().pixmap(32, 32).toImage();
        EXPECT_FALSE(picture.isNull()) << i;
        EXPECT_FALSE(pictures.contains(picture)) << i;
        pictures << picture;
    }
}

// A move that fails (a pending duplicate key) is reported once and emits no click.
TEST_F(DataControlsTest, NavigatorReportsAFailedMoveAndEmitsNoClick)
{
    widgets::DBNavigator navigator;
    navigator.setDataSet(m_cursor.get());
    m_cursor->next();
    m_cursor->edit();
    m_cursor->setText("Příjmení", "Beneš");
    QSignalSpy clicked(&navigator, &widgets::DBNavigator::clicked);
    QTest::mouseClick(navigator.button(B::Next), Qt::LeftButton);
    EXPECT_EQ(clicked.count(), 0);
    ASSERT_EQ(m_fakes.dialogs.shown().size(), 1);
    EXPECT_EQ(m_fakes.dialogs.lastBox().icon, platform::Icon::Error);
    EXPECT_EQ(m_cursor->state(), store::CursorState::Edit);
    m_cursor->cancel();
    navigator.setDataSet(nullptr);
}

// guarded() reports any error in the application's error box and says it failed.
TEST_F(DataControlsTest, GuardedReportsTheErrorText)
{
    EXPECT_TRUE(widgets::guarded([] {}));
    EXPECT_FALSE(widgets::guarded(
        [] { throw store::StoreError(store::StoreError::Kind::Io, "Disk plný"); }));
    ASSERT_EQ(m_fakes.dialogs.shown().size(), 1);
    EXPECT_EQ(m_fakes.dialogs.lastBox().text, QStringLiteral("Disk plný"));
    EXPECT_EQ(m_fakes.dialogs.lastBox().caption, QStringLiteral("Pelmir a telefony"));
}

struct MessageCase {
    const char* name;
    store::StoreError::Kind kind;
};

class ErrorTextTest : public ::testing::TestWithParam<MessageCase> {};

// The store's own text (Czech: what failed on which table and what to do)
// is what the user reads. A failed save names the duplicate only when the
// key really was a duplicate: a locked file or a full disk said "the surname
// exists" before.
TEST_P(ErrorTextTest, StoreErrorsReadAsTheUserNeedsThem)
{
    const MessageCase& c = GetParam();
    const store::StoreError error(c.kind, "Záznam nelze uložit do tabulky Dat.DB: důvod.", "Dat.DB",
                                  "UPDATE records SET ...: why");
    const QString message = widgets::userMessage(error);
    EXPECT_EQ(message, QStringLiteral("Záznam nelze uložit do tabulky Dat.DB: důvod."));
    const QString duplicate = QStringLiteral("Stejné příjmení už existuje.");
    const QString saveFailure = widgets::saveFailureMessage(error, duplicate);
    if (c.kind == store::StoreError::Kind::KeyViolation) {
        EXPECT_EQ(saveFailure, duplicate);
    } else {
        EXPECT_TRUE(saveFailure.startsWith(QStringLiteral("Záznam nebyl uložen a zůstává rozepsaný.")));
        EXPECT_TRUE(saveFailure.endsWith(message));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ErrorTextTest,
    ::testing::Values(MessageCase{"KeyViolation", store::StoreError::Kind::KeyViolation},
                      MessageCase{"Damaged", store::StoreError::Kind::Damaged},
                      MessageCase{"ReadOnly", store::StoreError::Kind::ReadOnly},
                      MessageCase{"DiskFull", store::StoreError::Kind::DiskFull},
                      MessageCase{"Locked", store::StoreError::Kind::Locked},
                      MessageCase{"Io", store::StoreError::Kind::Io}),
    [](const auto& info) { return std::string(info.param.name); });

// Errors that are not the store's ("Read beyond end of file") keep their text.
TEST(ErrorText, OtherErrorsKeepTheirText)
{
    EXPECT_EQ(widgets::userMessage(std::runtime_error("Read beyond end of file")),
              QStringLiteral("Read beyond end of file"));
}

} // namespace

namespace {

// A date field in an edit and in a grid cell: a date on its way ("5.", "5.3.")
// goes into the record only once it is whole (the grid's cell when it is
// left), so typing raises no box; a text
// that never becomes a date is refused once, when the typing ends, with the
// store's Czech explanation of how a date is written.
class DateFieldTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        widgets_test::ensureApplication();
        ASSERT_TRUE(m_dir.isValid());
        store::TableDef def;
        def.fileName = "Plan.DB";
        def.fields = {{"Datum", store::FieldKind::Date, 0, store::FieldDefault::None},
                      {"Činnost", store::FieldKind::Text, 40, store::FieldDefault::None}};
        def.primaryKey = "Datum";
        def.catalogueFiles = {def.fileName};
        const std::filesystem::path dataDir = m_dir.path().toStdString();
        store::Database::createTable(dataDir, def, "");
        m_database = std::make_unique<store::Database>(dataDir);
        m_cursor = std::make_unique<store::Cursor>(*m_database, "Plan.DB");
        m_cursor->open();
        m_cursor->insertRecord({"1.1.2024", "Nový rok"});
    }
    void TearDown() override
    {
        m_cursor.reset();
        m_database.reset();
    }

    platform::ScopedFakeServices m_fakes;
    QTemporaryDir m_dir;
    std::unique_ptr<store::Database> m_database;
    std::unique_ptr<store::Cursor> m_cursor;
};

TEST_F(DateFieldTest, EditWritesAWholeDateAndRefusesABadOneOnce)
{
    widgets::DBEdit edit;
    edit.setDataSet(m_cursor.get());
    edit.setDataField(QStringLiteral("Datum"));
    edit.clear();
    QTest::keyClicks(&edit, QStringLiteral("5.3.2026"));
    EXPECT_TRUE(m_fakes.dialogs.shown().isEmpty());
    EXPECT_EQ(m_cursor->text("Datum"), "5.3.2026");
    m_cursor->post();

    edit.selectAll();
    QTest::keyClicks(&edit, QStringLiteral("31.2."));
    EXPECT_TRUE(m_fakes.dialogs.shown().isEmpty());
    QTest::keyClick(&edit, Qt::Key_Return); // the typing ends
    ASSERT_EQ(m_fakes.dialogs.shown().size(), 1);
    EXPECT_TRUE(m_fakes.dialogs.lastBox().text.startsWith(QStringLiteral("Do pole Datum nelze zapsat „31.2.“")))
        << m_fakes.dialogs.lastBox().text.toStdString();
    EXPECT_EQ(m_cursor->text("Datum"), "5.3.2026");
}

TEST_F(DateFieldTest, GridCellWritesTheDateWhenTheCellIsLeft)
{
    widgets::DBGrid grid;
    grid.setDataSet(m_cursor.get(), {{QStringLiteral("Datum"), QString()}, {QStringLiteral("Činnost"), QString()}});
    grid.resize(400, 200);
    grid.show();
    QApplication::setActiveWindow(&grid);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&grid));
    grid.setCurrentIndex(grid.model()->index(0, 0));
    grid.setFocus();
    // Keys follow the focus: the first one opens the cell editor.
    for (const QChar c : QStringLiteral("6.1.2024"))
        QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key(c.unicode()), QString(c),
                            Qt::NoModifier);
    EXPECT_TRUE(m_fakes.dialogs.shown().isEmpty());
    grid.commitOpenEditor();
    EXPECT_EQ(m_cursor->text("Datum"), "6.1.2024");
    m_cursor->post();
    EXPECT_TRUE(m_fakes.dialogs.shown().isEmpty());
    EXPECT_EQ(m_cursor->text("Činnost"), "Nový rok");
}

} // namespace
