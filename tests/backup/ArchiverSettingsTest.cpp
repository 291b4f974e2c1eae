// The archiver settings window and its file "Nastavzal.txt".
#include "BackupFixture.h"

#include "backup/ArchiverSettings.h"
#include "backup/FileCopy.h"
#include "backup/TNastavARJForm.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace backuptest {
namespace {

const QString kFirstText =
    QStringLiteral("Napiš celou cestu k souboru arj.exe se            zpětným lomítkem na konci.          "
                   "Např.: Je-li soubor arj.exe v adresáři ARJ na disku \"C\", pak je cesta C:\\ARJ\\");
const QString kShortText =
    QStringLiteral("Napiš celou cestu k souboru arj.exe se zpětným lomítkem na konci. Např.: C:\\ARJ\\");
const QString kSavedText = QStringLiteral(
    "               CESTA ULOŽENA                  Před prvním zálohováním je třeba program znovu spustit");

class ArchiverSettingsTest : public BackupFixture {
protected:
    void SetUp() override
    {
        BackupFixture::SetUp();
        backup::ensureArchiverFile();
        m_form = std::make_unique<backup::TNastavARJForm>();
        m_form->ZalohovaniARJClick();
    }
    void TearDown() override
    {
        m_form.reset();
        BackupFixture::TearDown();
    }
    template <typename T> T* control(const char* name) { return findControl<T>(*m_form, name); }
    QString label() { return m_form->labelText(); }
    QString shownLabel() { return control<QLabel>("LabelNastavARJ")->text(); }
    QLineEdit* edit() { return control<QLineEdit>("EditNastavARJ"); }
    QPushButton* uloz() { return control<QPushButton>("BitBtnUloz"); }
    QPushButton* zpet() { return control<QPushButton>("BitBtnZpet"); }
    void type(const QString& text)
    {
        edit()->setFocus();
        for (const QChar c : text)
            QTest::sendKeyEvent(QTest::Click, edit(), Qt::Key(c.toUpper().unicode()), QString(c), Qt::NoModifier);
    }
    QByteArray savedFile() { return readFile(workPath(QStringLiteral("Nastavzal.txt"))); }

    std::unique_ptr<backup::TNastavARJForm> m_form;
};

// At start-up the file is made empty, and an empty file means no directory.
TEST_F(ArchiverSettingsTest, StartUpMakesAnEmptyFile)
{
    EXPECT_TRUE(QFile::exists(workPath(QStringLiteral("Nastavzal.txt"))));
    EXPECT_TRUE(savedFile().isEmpty());
    EXPECT_FALSE(backup::archiverDirectorySet());
    writeFile(workPath(QStringLiteral("Nastavzal.txt")), "/usr/bin/\nzbytek");
    backup::ensureArchiverFile(); // an existing file is kept
    EXPECT_TRUE(backup::archiverDirectorySet());
    EXPECT_EQ(backup::readArchiverDirectory(), QStringLiteral("/usr/bin/"));
    QFile::remove(workPath(QStringLiteral("Nastavzal.txt")));
    EXPECT_FALSE(backup::archiverDirectorySet());
    EXPECT_THROW(backup::readArchiverDirectory(), backup::BackupError);
}

// The window's texts through a whole round: the first instruction, the
// empty-field warning, the saved state, and the short instruction after "&Konec".
TEST_F(ArchiverSettingsTest, TextsFollowTheUserThroughSavingAndClosing)
{
    EXPECT_EQ(m_form->windowTitle(), QStringLiteral("Nastavení zálohování"));
    EXPECT_EQ(label(), kFirstText);
    EXPECT_EQ(shownLabel().count(QLatin1Char('\n')), 2); // three lines
    EXPECT_TRUE(control<QLabel>("LabelNastavARJ")->font().bold());
    EXPECT_TRUE(edit()->text().isEmpty());
    EXPECT_EQ(uloz()->text(), QStringLiteral("&Ulož"));
    EXPECT_EQ(zpet()->text(), QStringLiteral("&Zpět"));

    QTest::mouseClick(uloz(), Qt::LeftButton);
    EXPECT_EQ(label(), QStringLiteral("NAPIŠ CESTU"));
    EXPECT_TRUE(savedFile().isEmpty());
    EXPECT_EQ(m_fakes.tones.questionSounds(), 0);

    type(QStringLiteral("/home/jiří/arj/"));
    EXPECT_EQ(edit()->text(), QStringLiteral("/HOME/JIŘÍ/ARJ/"));
    QTest::mouseClick(uloz(), Qt::LeftButton);
    EXPECT_EQ(savedFile(), QStringLiteral("/HOME/JIŘÍ/ARJ/").toUtf8()); // no line end
    EXPECT_EQ(label(), kSavedText);
    EXPECT_TRUE(uloz()->isHidden());
    EXPECT_EQ(zpet()->text(), QStringLiteral("&Konec"));
    EXPECT_EQ(m_fakes.tones.questionSounds(), 1);

    QTest::mouseClick(zpet(), Qt::LeftButton);
    EXPECT_FALSE(m_form->isVisible());
    m_form->ZalohovaniARJClick();
    EXPECT_EQ(label(), kShortText);
    EXPECT_FALSE(uloz()->isHidden());
    EXPECT_EQ(zpet()->text(), QStringLiteral("&Zpět"));
    EXPECT_EQ(edit()->text(), QStringLiteral("/HOME/JIŘÍ/ARJ/"));
}

// The blank runs stood where the original's word wrap broke the lines: the
// three-line instruction, and "CESTA ULOŽENA" alone on its line.
TEST(ArchiverLabel, BlankRunsBecomeLineBreaks)
{
    const struct {
        QString text;
        QString shown;
    } cases[] = {
        {kFirstText, QStringLiteral("Napiš celou cestu k souboru arj.exe se\nzpětným lomítkem na konci.\n"
                                    "Např.: Je-li soubor arj.exe v adresáři ARJ na disku \"C\", pak je cesta C:\\ARJ\\")},
        {kSavedText, QStringLiteral("CESTA ULOŽENA\nPřed prvním zálohováním je třeba program znovu spustit")},
        {kShortText, kShortText},
        {QStringLiteral("NAPIŠ CESTU"), QStringLiteral("NAPIŠ CESTU")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(backup::labelLines(c.text), c.shown);
}

// A file that cannot be written is an error box, and the window does not
// claim that the directory was saved.
TEST_F(ArchiverSettingsTest, AFailedSaveIsReportedAndNotShownAsSaved)
{
    QFile::remove(workPath(QStringLiteral("Nastavzal.txt")));
    QDir().mkpath(workPath(QStringLiteral("Nastavzal.txt"))); // a folder in its place
    type(QStringLiteral("/opt/"));
    QTest::mouseClick(uloz(), Qt::LeftButton);
    ASSERT_EQ(m_fakes.dialogs.shown().size(), 1);
    EXPECT_EQ(m_fakes.dialogs.lastBox().icon, platform::Icon::Error);
    EXPECT_TRUE(m_fakes.dialogs.lastBox().text.contains(QStringLiteral("Nastavzal.txt")));
    EXPECT_EQ(label(), kFirstText);
    EXPECT_FALSE(uloz()->isHidden());
    EXPECT_EQ(m_fakes.tones.questionSounds(), 0);
}

} // namespace
} // namespace backuptest
