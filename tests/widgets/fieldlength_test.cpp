// Field widths in the data-aware controls: counted in characters as the store
// counts them, never splitting one, never cutting a stored value the user did
// not edit, and no line breaks in a single-line field.

#include "WidgetsFixture.h"

#include "widgets/DBGrid.h"
#include "widgets/DataControls.h"
#include "widgets/FieldLength.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

#include <sqlite3.h>

using widgets_test::WidgetsFixture;

namespace {

const QString kEmoji = QStringLiteral("\U0001F600");
const QString kFlag = QStringLiteral("\U0001F1E8\U0001F1FF"); // two code points, one letter

struct FitCase {
    const char* name;
    QString text;
    int cursor;
    int allowed;
    QString fitted;
    int fittedCursor;
};

class FitTest : public ::testing::TestWithParam<FitCase> {};

// What is left of an insertion that does not fit: counted in characters,
// cut only inside the inserted part and only between whole letters.
TEST_P(FitTest, CutsTheInsertionBetweenWholeLetters)
{
    const FitCase& c = GetParam();
    const widgets::FittedText fitted = widgets::fitInserted(c.text, c.cursor, c.allowed);
    EXPECT_EQ(fitted.text, c.fitted);
    EXPECT_EQ(fitted.cursor, c.fittedCursor);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FitTest,
    ::testing::Values(
        FitCase{"Fits", QStringLiteral("Dvořák"), 6, 6, QStringLiteral("Dvořák"), 6},
        FitCase{"TypedPastTheEnd", QStringLiteral("abcd"), 4, 3, QStringLiteral("abc"), 3},
        FitCase{"TypedInTheMiddle", QStringLiteral("abXcd"), 3, 4, QStringLiteral("abcd"), 2},
        FitCase{"PastedTooMuch", QStringLiteral("aXYZb"), 4, 3, QStringLiteral("aXb"), 2},
        FitCase{"EmojiCountsOne", QStringLiteral("ab") + kEmoji, 4, 3, QStringLiteral("ab") + kEmoji, 4},
        FitCase{"EmojiNotHalved", QStringLiteral("ab") + kEmoji + kEmoji, 6, 3,
                QStringLiteral("ab") + kEmoji, 4},
        FitCase{"FlagNotHalved", QStringLiteral("ab") + kFlag, 6, 3, QStringLiteral("ab"), 2},
        FitCase{"AccentStaysOnItsLetter", QStringLiteral("abe\u0301"), 4, 3, QStringLiteral("ab"), 2}),
    [](const auto& info) { return std::string(info.param.name); });

// Characters are code points (the store's measure); line breaks of a pasted
// text become one blank each, the caret moving with them.
TEST(FieldText, CountsCodePointsAndFlattensLineBreaks)
{
    EXPECT_EQ(widgets::characterCount(QStringLiteral("Dvořák")), 6);
    EXPECT_EQ(widgets::characterCount(kEmoji + kEmoji), 2);
    int cursor = 9;
    EXPECT_EQ(widgets::withoutLineBreaks(QStringLiteral("a\r\nb\nc\rd\u2029e"), &cursor),
              QStringLiteral("a b c d e"));
    EXPECT_EQ(cursor, 8);
}

enum class Kind { GridCell, Edit, Memo };

struct ControlCase {
    const char* name;
    Kind kind;
};

// The fixture's `Jméno` is 20 characters wide.
class FieldWidthTest : public WidgetsFixture, public ::testing::WithParamInterface<ControlCase> {
protected:
    void SetUp() override
    {
        WidgetsFixture::SetUp();
        addPeople({"Beneš", "Černý"});
        m_window = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(m_window.get());
        switch (GetParam().kind) {
        case Kind::GridCell:
            m_grid = new widgets::DBGrid(m_window.get());
            m_grid->setDataSet(m_cursor.get(), {{"Příjmení", "", 80}, {"Jméno", "", 300}});
            layout->addWidget(m_grid);
            break;
        case Kind::Edit:
            m_edit = new widgets::DBEdit(m_window.get());
            m_edit->setDataSet(m_cursor.get());
            m_edit->setDataField(QStringLiteral("Jméno"));
            layout->addWidget(m_edit);
            break;
        case Kind::Memo:
            m_memo = new widgets::DBMemo(m_window.get());
            m_memo->setDataSet(m_cursor.get());
            m_memo->setDataField(QStringLiteral("Jméno"));
            layout->addWidget(m_memo);
            break;
        }
        showActive(*m_window);
    }
    void TearDown() override
    {
        m_window.reset();
        WidgetsFixture::TearDown();
    }

    // The control's text input with the caret at the end of the field's text.
    QWidget* input()
    {
        if (m_grid) {
            const QModelIndex cell = m_grid->model()->index(m_cursor->currentRow(), 1);
            m_grid->setFocus();
            m_grid->setCurrentIndex(cell);
            if (!qobject_cast<QLineEdit*>(QApplication::focusWidget()))
                QTest::keyClick(m_grid, Qt::Key_F2); // opens the cell editor
        } else {
            QWidget* control = m_edit ? static_cast<QWidget*>(m_edit) : m_memo;
            control->setFocus();
        }
        QWidget* focused = QApplication::focusWidget();
        QTest::keyClick(focused, Qt::Key_End);
        return focused;
    }
    static void type(QWidget* target, const QString& text)
    {
        for (const QChar c : text)
            QTest::sendKeyEvent(QTest::Click, target, Qt::Key(c.toUpper().unicode()), QString(c),
                                Qt::NoModifier);
    }
    static void typeWhole(QWidget* target, const QString& character)
    {
        QTest::sendKeyEvent(QTest::Click, target, Qt::Key_unknown, character, Qt::NoModifier);
    }
    // Puts a value into the file that is longer than the field, as an older
    // program or another tool may have stored it, then reads the table anew.
    void storeOverlong(const QString& value)
    {
        m_cursor->close();
        sqlite3* db = nullptr;
        const QString file = m_dir.path() + QStringLiteral("/") + QString::fromStdString(kTable);
        ASSERT_EQ(sqlite3_open(file.toUtf8().constData(), &db), SQLITE_OK);
        sqlite3_stmt* update = nullptr;
        ASSERT_EQ(sqlite3_prepare_v2(db, "UPDATE records SET \"Jméno\" = ?1 WHERE \"Příjmení\" = 'Beneš'",
                                     -1, &update, nullptr),
                  SQLITE_OK);
        const QByteArray utf8 = value.toUtf8();
        sqlite3_bind_text(update, 1, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
        EXPECT_EQ(sqlite3_step(update), SQLITE_DONE);
        sqlite3_finalize(update);
        sqlite3_close(db);
        m_cursor->open();
        ASSERT_EQ(m_cursor->text("Jméno"), value.toStdString());
    }
    // Ends the edit as a user would: the grid and the edit by moving to the
    // next record, which saves a changed one.
    void moveOn()
    {
        if (m_grid) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        } else {
            m_cursor->next();
        }
    }
    std::string savedName()
    {
        store::Cursor reader(*m_database, kTable);
        reader.open();
        return reader.text("Jméno");
    }

    std::unique_ptr<QWidget> m_window;
    widgets::DBGrid* m_grid = nullptr;
    widgets::DBEdit* m_edit = nullptr;
    widgets::DBMemo* m_memo = nullptr;
};

// Typing stops at the width; an emoji typed at the limit is refused whole,
// not cut in half (which stored a broken character before).
TEST_P(FieldWidthTest, TypingStopsAtTheWidthInCharacters)
{
    QWidget* target = input();
    type(target, QStringLiteral("ěščřžýáíéůúťďňóĚŠ")); // 6 + 17 = 23 > 20
    EXPECT_EQ(m_cursor->text("Jméno"), "JBenešěščřžýáíéůúťďň");
    QTest::keyClick(target, Qt::Key_Backspace);
    typeWhole(target, kEmoji);
    typeWhole(target, kEmoji);
    EXPECT_EQ(QString::fromStdString(m_cursor->text("Jméno")),
              QStringLiteral("JBenešěščřžýáíéůúťď") + kEmoji);
    moveOn();
    EXPECT_EQ(QString::fromStdString(savedName()), QStringLiteral("JBenešěščřžýáíéůúťď") + kEmoji);
}

// A stored value longer than the field (an older file may hold one) is shown
// whole; opening the control on it and moving on must not cut it. The user
// may shorten it but not lengthen it, and it goes into the record once it
// fits: the store refuses a longer text, which must not cost a box per key.
TEST_P(FieldWidthTest, AStoredValueLongerThanTheWidthStaysWholeUntilShortened)
{
    const QString longName = QStringLiteral("Bartoloměj Ferdinand Xaver"); // 26 characters
    storeOverlong(longName);
    QWidget* target = input();
    moveOn();
    EXPECT_EQ(QString::fromStdString(savedName()), longName);

    m_cursor->first();
    target = input();
    type(target, QStringLiteral("yz"));
    EXPECT_EQ(QString::fromStdString(m_cursor->text("Jméno")), longName);
    QTest::keyClick(target, Qt::Key_Backspace);
    type(target, QStringLiteral("r")); // no longer than it was before
    EXPECT_EQ(QString::fromStdString(m_cursor->text("Jméno")), longName); // 25: not written yet
    for (int i = 0; i < 5; ++i)
        QTest::keyClick(target, Qt::Key_Backspace);
    EXPECT_EQ(QString::fromStdString(m_cursor->text("Jméno")), QStringLiteral("Bartoloměj Ferdinand"));
    type(target, QStringLiteral("x"));
    EXPECT_EQ(QString::fromStdString(m_cursor->text("Jméno")), QStringLiteral("Bartoloměj Ferdinand"));
    EXPECT_TRUE(m_fakes.dialogs.shown().isEmpty()) << m_fakes.dialogs.shownTexts().join('|').toStdString();
    moveOn();
    EXPECT_EQ(QString::fromStdString(savedName()), QStringLiteral("Bartoloměj Ferdinand"));
}

INSTANTIATE_TEST_SUITE_P(Controls, FieldWidthTest,
                         ::testing::Values(ControlCase{"GridCell", Kind::GridCell},
                                           ControlCase{"Edit", Kind::Edit},
                                           ControlCase{"Memo", Kind::Memo}),
                         [](const auto& info) { return std::string(info.param.name); });

class SingleLineTest : public FieldWidthTest {};

// Line breaks pasted into a single-line field become blanks: a break inside a
// name or telephone number would be stored and printed as a second line.
TEST_P(SingleLineTest, PastedLineBreaksBecomeBlanks)
{
    QWidget* target = input();
    QApplication::clipboard()->setText(QStringLiteral("\r\nJan\nNovák"));
    QTest::keyClick(target, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(m_cursor->text("Jméno"), "JBeneš Jan Novák");
}

INSTANTIATE_TEST_SUITE_P(Controls, SingleLineTest,
                         ::testing::Values(ControlCase{"GridCell", Kind::GridCell},
                                           ControlCase{"Edit", Kind::Edit}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
