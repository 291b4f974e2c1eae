// The backup log window: its grid, the logging and the two deletions.
#include "BackupFixture.h"

#include "backup/TZalhForm.h"

#include "store/Errors.h"
#include "widgets/DBGrid.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace backuptest {
namespace {

class BackupLogTest : public BackupFixture {
protected:
    void SetUp() override
    {
        BackupFixture::SetUp();
        m_form = std::make_unique<backup::TZalhForm>(database());
    }
    void TearDown() override
    {
        m_form.reset();
        BackupFixture::TearDown();
    }

    template <typename T> T* control(const char* name) { return findControl<T>(*m_form, name); }
    widgets::DBGrid* grid() { return control<widgets::DBGrid>("DBGrid1"); }
    // Each row as "Datum|Čas|ČasDisk", as the grid shows it.
    QStringList rows()
    {
        QStringList shown;
        const QAbstractItemModel* model = grid()->model();
        for (int row = 0; row < model->rowCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < model->columnCount(); ++column)
                cells << model->index(row, column).data().toString();
            shown << cells.join(QLatin1Char('|'));
        }
        return shown;
    }
    void logAt(backup::BackupKind kind, const QTime& time)
    {
        m_fakes.clock.setNow(QDateTime(m_fakes.clock.today(), time));
        m_form->logBackup(kind);
    }
    void click(const char* button) { QTest::mouseClick(control<QPushButton>(button), Qt::LeftButton); }

    std::unique_ptr<backup::TZalhForm> m_form;
};

// Both time columns are titled "Čas"; only the labels over them say which is which.
TEST_F(BackupLogTest, GridShowsDateAndTwoTimeColumnsUnderTheirLabels)
{
    logAt(backup::BackupKind::Disk, QTime(10, 0, 0));
    m_form->show();
    EXPECT_EQ(m_form->windowTitle(), QStringLiteral("Kontrola zálohování"));
    const QAbstractItemModel* model = grid()->model();
    ASSERT_EQ(model->columnCount(), 3);
    QStringList titles;
    for (int column = 0; column < 3; ++column) {
        titles << model->headerData(column, Qt::Horizontal).toString();
        EXPECT_EQ(model->index(0, column).data(Qt::TextAlignmentRole).value<Qt::Alignment>(), Qt::AlignCenter);
    }
    EXPECT_EQ(grid()->horizontalHeader()->defaultAlignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_EQ(titles, (QStringList{"Datum", "Čas", "Čas"}));
    EXPECT_TRUE(grid()->isReadOnly());
    EXPECT_EQ(grid()->selectionBehavior(), QAbstractItemView::SelectRows);

    const QHeaderView* header = grid()->horizontalHeader();
    const struct {
        const char* label;
        const char* text;
        int column;
    } labels[] = {{"LabelNaDiskety", "Na diskety", 1}, {"LabelNaDisk", "Na disk", 2}};
    for (const auto& l : labels) {
        auto* label = control<QLabel>(l.label);
        EXPECT_EQ(label->text(), QString::fromUtf8(l.text));
        const int columnCentre =
            header->mapTo(m_form.get(), QPoint(header->sectionViewportPosition(l.column) + header->sectionSize(l.column) / 2, 0)).x();
        EXPECT_NEAR(label->mapTo(m_form.get(), label->rect().center()).x(), columnCentre, 2) << l.label;
    }
    EXPECT_EQ(control<QPushButton>("SpeedButton1")->toolTip(), QStringLiteral("Vymazat označený záznam"));
    EXPECT_EQ(control<QPushButton>("SpeedButtonVymazat")->toolTip(), QStringLiteral("Vymazat celou statistiku"));
}

// A disk backup fills `ČasDisk`, a floppy backup `Čas`, in whole seconds;
// `Datum` is today by the table's default; each entry goes in at the current row.
TEST_F(BackupLogTest, LogsEachKindInItsColumnAtTheCurrentRow)
{
    logAt(backup::BackupKind::Disk, QTime(9, 5, 7, 940));
    logAt(backup::BackupKind::Floppy, QTime(14, 0, 0));
    logAt(backup::BackupKind::Floppy, QTime(14, 0, 0, 500)); // the same second again
    EXPECT_EQ(rows(), (QStringList{"8.12.2025|14:00:00|", "8.12.2025|14:00:00|", "8.12.2025||9:05:07"}));
    EXPECT_EQ(m_form->TableZalh().state(), store::CursorState::Browse);
    EXPECT_TRUE(m_fakes.tones.sounded().isEmpty());
}

// The marked entry goes only on Yes, with the "deleted" tone; No changes and sounds nothing.
TEST_F(BackupLogTest, DeletesTheMarkedEntryOnlyOnYes)
{
    logAt(backup::BackupKind::Disk, QTime(10, 0, 0));
    logAt(backup::BackupKind::Disk, QTime(11, 0, 0));
    m_fakes.dialogs.answerNext(platform::Button::No);
    click("SpeedButton1");
    EXPECT_EQ(rows().size(), 2);
    EXPECT_TRUE(m_fakes.tones.sounded().isEmpty());

    click("SpeedButton1");
    EXPECT_EQ(rows(), QStringList{"8.12.2025||10:00:00"});
    EXPECT_EQ(m_fakes.tones.sounded(), (platform::ToneList{{90, 150}}));
    ASSERT_EQ(m_fakes.dialogs.shown().size(), 2);
    const platform::ShownBox box = m_fakes.dialogs.lastBox();
    EXPECT_EQ(box.caption, QStringLiteral("Pelmir a telefony"));
    EXPECT_EQ(box.text, QStringLiteral("Bude smazán označený záznam o provedené záloze!"));
    EXPECT_EQ(box.icon, platform::Icon::None);
    EXPECT_EQ(box.buttons, (QList<platform::Button>{platform::Button::Yes, platform::Button::No}));
}

// "&Všechny" empties the log and leaves it closed: the grid shows nothing, a
// delete of the marked entry then fails with the store's error, and the next
// backup opens the log again with its one entry.
TEST_F(BackupLogTest, DeletingAllLeavesTheLogClosedUntilTheNextBackup)
{
    logAt(backup::BackupKind::Disk, QTime(10, 0, 0));
    logAt(backup::BackupKind::Floppy, QTime(11, 0, 0));
    m_fakes.dialogs.answerNext(platform::Button::No);
    click("SpeedButtonVymazat");
    EXPECT_EQ(rows().size(), 2);

    click("SpeedButtonVymazat");
    EXPECT_EQ(m_fakes.dialogs.lastBox().text, QStringLiteral("Budou smazána všechna data o provedených zálohách!"));
    EXPECT_FALSE(m_form->TableZalh().isActive());
    EXPECT_TRUE(rows().isEmpty());
    EXPECT_EQ(m_fakes.tones.sounded(), (platform::ToneList{{90, 300}}));
    EXPECT_TRUE(firstFields(dataPath(), "Zaloha.db").empty());

    m_fakes.dialogs.clear();
    click("SpeedButton1");
    ASSERT_EQ(m_fakes.dialogs.shown().size(), 2); // the question, then the error
    EXPECT_EQ(m_fakes.dialogs.lastBox().icon, platform::Icon::Error);

    logAt(backup::BackupKind::Disk, QTime(12, 0, 0));
    EXPECT_EQ(rows(), QStringList{"8.12.2025||12:00:00"});
}

} // namespace
} // namespace backuptest
