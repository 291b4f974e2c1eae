// The import and export commands as the user meets them: the file dialog,
// the preview with its choices, the progress window that can stop the work,
// and the boxes that tell the result.

#include "InterchangeFixture.h"

#include "interchange/CsvColumnsDialog.h"
#include "interchange/ImportDialog.h"
#include "interchange/TextCodec.h"

#include "platform/Fakes.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

namespace {

class ImportCommandTest : public InterchangeFixture {
protected:
    // Runs `step` on the dialog of that kind once it is shown (runImport waits in it).
    template <typename Dialog>
    void onDialog(std::function<void(Dialog&)> step)
    {
        QTimer::singleShot(0, [step] {
            for (QWidget* widget : QApplication::topLevelWidgets())
                if (auto* dialog = dynamic_cast<Dialog*>(widget); dialog && dialog->isVisible()) {
                    step(*dialog);
                    return;
                }
            ADD_FAILURE() << "no dialog shown";
        });
    }
    void onPreview(std::function<void(interchange::ImportDialog&)> step) { onDialog(std::move(step)); }
    QString path(const std::string& name) const { return QString::fromStdString((workDir() / name).string()); }

    platform::ScopedFakeServices m_fakes;
};

const QByteArray kCards = "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Novák;Petr\r\nTEL:603 111 222\r\nEND:VCARD\r\n"
                          "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Bílá;Eva\r\nEND:VCARD\r\n"
                          "BEGIN:VCARD\r\nVERSION:3.0\r\nNOTE:bez jména\r\nEND:VCARD\r\n";

// The preview lists additions, the conflict and the unreadable card; the user keeps both Nováks.
TEST_F(ImportCommandTest, PreviewChoiceAndResult)
{
    insert("Dat.DB", {{"Novák", "Jan", "Praha", "", ""}});
    writeFile("kontakty.vcf", kCards);
    m_fakes.dialogs.answerNextOpenFile(path("kontakty.vcf"));
    onPreview([](interchange::ImportDialog& dialog) {
        auto* summary = dialog.findChild<QLabel*>(QStringLiteral("LabelSouhrn"));
        EXPECT_TRUE(summary->text().endsWith(QStringLiteral("Přidá se 1, konfliktů 1, nelze přečíst 1, zkrátí se nebo vynechá hodnot 0.")))
            << summary->text().toStdString();
        auto* view = dialog.findChild<QTableView*>(QStringLiteral("ImportPreview"));
        ASSERT_EQ(view->model()->rowCount(), 3);
        EXPECT_EQ(view->model()->index(0, interchange::PlanModel::StateColumn).data().toString(),
                  QStringLiteral("Už uloženo: Novák | Jan | Praha"));
        EXPECT_EQ(view->model()->index(2, interchange::PlanModel::RecordColumn).data().toString(),
                  QStringLiteral("Řádek 10: vizitka nemá jméno ani název firmy"));
        view->selectRow(0);
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("ButtonPonechatOboji")), Qt::LeftButton);
        EXPECT_EQ(view->model()->index(0, interchange::PlanModel::ChoiceColumn).data().toString(),
                  QStringLiteral("Ponechat obojí (jako „Novák Petr“)"));
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("ButtonImportovat")), Qt::LeftButton);
    });
    interchange::runImport(database(), nullptr);
    EXPECT_EQ(records("Dat.DB"), (std::vector<std::vector<QString>>{address("Bílá", "Eva"), address("Novák", "Jan", "Praha"),
                                                                   address("Novák Petr", "Petr", "", "603 111 222")}));
    EXPECT_EQ(m_fakes.dialogs.lastBox().caption, QStringLiteral("Information"));
    EXPECT_TRUE(m_fakes.dialogs.lastBox().text.contains(
        QStringLiteral("Adresář (Dat.DB): přidáno 1, nahrazeno 0, ponecháno obojí 1, přeskočeno 0, nečitelných 1")))
        << m_fakes.dialogs.lastBox().text.toStdString();
    EXPECT_TRUE(m_fakes.progress.titles().contains(QStringLiteral("Import adres a dat")));
}

// Closing the preview, or stopping in the progress window, writes nothing.
TEST_F(ImportCommandTest, CancelWritesNothing)
{
    writeFile("kontakty.vcf", kCards);
    m_fakes.dialogs.answerNextOpenFile(path("kontakty.vcf"));
    onPreview([](interchange::ImportDialog& dialog) {
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("ButtonZrusit")), Qt::LeftButton);
    });
    interchange::runImport(database(), nullptr);
    EXPECT_TRUE(records("Dat.DB").empty());

    m_fakes.dialogs.answerNextOpenFile(path("kontakty.vcf"));
    m_fakes.progress.cancelAt(1);
    interchange::runImport(database(), nullptr);
    EXPECT_TRUE(records("Dat.DB").empty());
    EXPECT_EQ(m_fakes.dialogs.lastBox().text, QStringLiteral("Import byl přerušen; nic se nezapsalo."));
}

// A box after a failed or stopped reading comes once the progress window is
// closed: that window stays on top, and the box opened hidden behind it, so
// the import seemed stuck at 0 % with the program waiting for an answer.
TEST_F(ImportCommandTest, BoxesComeAfterTheProgressWindowCloses)
{
    writeFile("kontakty.vcf", kCards);
    QList<int> openAtBox;
    m_fakes.dialogs.setResponder([&](const platform::ShownBox&) {
        openAtBox.append(m_fakes.progress.openTasks());
        return platform::Button::Ok;
    });
    m_fakes.dialogs.answerNextOpenFile(path("chybi.vcf")); // cannot be read
    interchange::runImport(database(), nullptr);
    m_fakes.dialogs.answerNextOpenFile(path("kontakty.vcf"));
    m_fakes.progress.cancelAt(1); // stopped while reading
    interchange::runImport(database(), nullptr);
    EXPECT_EQ(openAtBox, (QList<int>{0, 0}));
    EXPECT_EQ(m_fakes.dialogs.lastBox().text, QStringLiteral("Import byl přerušen; nic se nezapsalo."));
}

// Columns the header does not name are chosen by the user before the preview;
// those left unchosen go to the note.
TEST_F(ImportCommandTest, CsvColumnsChosenByTheUser)
{
    writeFile("tabulka.csv", QStringLiteral("Kdo;Kde;Pozn\nŠťastná;Brno;ahoj\n").toUtf8());
    m_fakes.dialogs.answerNextOpenFile(path("tabulka.csv"));
    onDialog<interchange::CsvColumnsDialog>([this](interchange::CsvColumnsDialog& dialog) {
        auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("ButtonOK"));
        EXPECT_FALSE(ok->isEnabled()); // no column gives the name yet
        auto* who = dialog.findChild<QComboBox*>(QStringLiteral("ComboSloupec1"));
        EXPECT_EQ(who->currentText(), QStringLiteral("(do poznámky)"));
        who->setCurrentText(QStringLiteral("Příjmení - Firma"));
        dialog.findChild<QComboBox*>(QStringLiteral("ComboSloupec2"))->setCurrentText(QStringLiteral("Adresa"));
        EXPECT_EQ(dialog.findChild<QComboBox*>(QStringLiteral("ComboSloupec3"))->currentText(),
                  QStringLiteral("Poznámka"));
        ASSERT_TRUE(ok->isEnabled());
        onPreview([](interchange::ImportDialog& preview) {
            QTest::mouseClick(preview.findChild<QPushButton*>(QStringLiteral("ButtonImportovat")), Qt::LeftButton);
        });
        QTest::mouseClick(ok, Qt::LeftButton);
    });
    interchange::runImport(database(), nullptr);
    EXPECT_EQ(records("Dat.DB"), (std::vector<std::vector<QString>>{address("Šťastná", "", "Brno", "", "ahoj")}));
}

// A CSV file that cannot be read is refused with its line, before any dialog.
TEST_F(ImportCommandTest, UnreadableCsvNamesItsLine)
{
    writeFile("vadna.csv", QByteArray("Příjmení;Jméno\nNovák;Jan\n\"Nový;Petr\n"));
    m_fakes.dialogs.answerNextOpenFile(path("vadna.csv"));
    interchange::runImport(database(), nullptr);
    EXPECT_TRUE(m_fakes.dialogs.lastBox().text.contains(QStringLiteral("Řádek 3: uvozovky otevřené")))
        << m_fakes.dialogs.lastBox().text.toStdString();
    EXPECT_TRUE(records("Dat.DB").empty());
}

// The export asks for the code page of a CSV file and says what it wrote.
TEST_F(ImportCommandTest, ExportToCsvInWindows1250)
{
    insert("Dat.DB", {{"Šťastná", "Řehořka", "", "603 111 222", ""}});
    m_fakes.dialogs.answerNextSaveFile(path("adresy.csv"));
    m_fakes.dialogs.answerNext(platform::Button::No);
    interchange::runExport(database(), nullptr);
    EXPECT_EQ(m_fakes.dialogs.lastBox().text, QStringLiteral("Zapsána 1 adresa do %1.").arg(path("adresy.csv")));
    QFile file(path("adresy.csv"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(interchange::decode(file.readAll(), "windows-1250").value_or(QString()),
              QStringLiteral("Příjmení;Jméno;Adresa;Telefon;Poznámka\r\nŠťastná;Řehořka;;603 111 222;\r\n"));
}

// The preview tells before the import how many values will be shortened and
// lists them where they can be read; skipping the record takes them off.
TEST_F(ImportCommandTest, PreviewListsShortenedValues)
{
    insert("Dat.DB", {{"Novák", "Jan", "", "", ""}});
    const QByteArray cards = "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Novák;Jan\r\nNOTE:" + QByteArray(90, 'n') +
                             "\r\nEND:VCARD\r\n"
                             "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Bílá;Eva\r\nADR:;;" + QByteArray(85, 'a') +
                             ";;;;\r\nEND:VCARD\r\n";
    writeFile("kontakty.vcf", cards);
    m_fakes.dialogs.answerNextOpenFile(path("kontakty.vcf"));
    onPreview([](interchange::ImportDialog& dialog) {
        auto* summary = dialog.findChild<QLabel*>(QStringLiteral("LabelSouhrn"));
        auto* list = dialog.findChild<QPlainTextEdit*>(QStringLiteral("MemoZkracene"));
        ASSERT_NE(list, nullptr);
        EXPECT_TRUE(list->isVisibleTo(&dialog));
        // The conflict is skipped at first: only Bílá's address is cut.
        EXPECT_TRUE(summary->text().endsWith(QStringLiteral("zkrátí se nebo vynechá hodnot 1."))) << summary->text().toStdString();
        EXPECT_EQ(list->toPlainText(), QStringLiteral("Adresář (Dat.DB): Řádek 6 (Bílá): pole „Adresa“ zkráceno na 80 "
                                                      "znaků; nevešlo se: „aaaaa“"));
        auto* all = dialog.findChild<QComboBox*>(QStringLiteral("ComboVsechnyKonflikty"));
        all->setCurrentIndex(1);
        Q_EMIT all->activated(1);
        EXPECT_TRUE(summary->text().endsWith(QStringLiteral("zkrátí se nebo vynechá hodnot 2."))) << summary->text().toStdString();
        EXPECT_TRUE(list->toPlainText().startsWith(QStringLiteral("Adresář (Dat.DB): Řádek 1 (Novák): pole „Poznámka“")))
            << list->toPlainText().toStdString();
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("ButtonZrusit")), Qt::LeftButton);
    });
    interchange::runImport(database(), nullptr);
    EXPECT_EQ(records("Dat.DB").size(), 1u);
}

} // namespace
