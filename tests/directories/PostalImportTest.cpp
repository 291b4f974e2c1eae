// Loading the post's complete list of postal codes: the plan, the question
// before anything is written, one transaction, and bad files that change
// nothing at all.

#include "DirectoriesFixture.h"

#include "PostalColumnsDialog.h"

#include "directories/CodeDirectoryForm.h"
#include "directories/PostalImport.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QStringEncoder>

#include <fstream>
#include <iterator>

namespace dirtest {
namespace {

using directories::CsvDocument;
using directories::PostalColumns;
using directories::PostalImportPlan;
using directories::StoredPlace;

// Shaped like the post's own list: a part of a municipality per line.
const QString kPostList = QStringLiteral(
    "NAZCOBCE;PSC;NAZPOST;KODOKRESU;NAZOKRESU;NAZOBCE;KOD\n"
    "Abertamy;36235;Abertamy;3403;Karlovy Vary;Abertamy;\n"
    "Benešov;25601;Benešov u Prahy;3201;Benešov;Benešov;\n"
    "Dolní Žďár;37701;Jindřichův Hradec 1;3303;Jindřichův Hradec;Jindřichův Hradec;\n"
    "Lhota;25601;Benešov u Prahy;3201;Benešov;Mrač;\n"
    "Lhota;27201;Kladno 1;3203;Kladno;Kladno;\n"
    "Abertamy;36235;Abertamy;3403;Karlovy Vary;Abertamy;\n"
    "Zlín;76001;Zlín 1;3705;Zlín;Zlín;\n"
    "Kolín;28000;Kolín 1;3204;Kolín;Kolín;\n"
    "\"Řevnice\";25230;Řevnice;3210;Praha-západ;Řevnice;\n");

std::string fileBytes(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

QByteArray windows1250(const QString& text)
{
    QStringEncoder encoder("windows-1250");
    EXPECT_TRUE(encoder.isValid());
    QByteArray bytes = encoder(text);
    EXPECT_FALSE(encoder.hasError());
    return bytes;
}

class PostalImportTest : public DirectoriesTest {
protected:
    void SetUp() override
    {
        DirectoriesTest::SetUp();
        m_form = std::make_unique<directories::TPscForm>(database());
        m_form->FormCreate();
        showActive(*m_form);
        m_fakes.dialogs.clear();
    }
    void TearDown() override
    {
        m_form.reset();
        DirectoriesTest::TearDown();
    }
    QString writeFile(const QString& name, const QByteArray& bytes)
    {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    void importFile(const QString& path)
    {
        m_fakes.dialogs.answerNextOpenFile(path);
        click(*m_form, "SpeedButtonNacist");
    }
    QString codeOf(const QString& place)
    {
        const QStringList places = column("Psc.DB", "MÍSTO");
        const qsizetype at = places.indexOf(place);
        return at < 0 ? QString() : column("Psc.DB", "PSČ").at(at);
    }

    void loadsThePostsList(const QByteArray& bytes, const QString& encoding);

    std::unique_ptr<directories::TPscForm> m_form;
};

// The post's list in either encoding: the question shows the plan while the
// table is still as it was; then everything is stored and counted.
void PostalImportTest::loadsThePostsList(const QByteArray& bytes, const QString& encoding)
{
    const QString path = writeFile(QStringLiteral("zv_cobce_psc.csv"), bytes);
    qsizetype placesWhenAsked = -1;
    QString question;
    m_fakes.dialogs.setResponder([&](const platform::ShownBox& box) {
        if (box.caption == QStringLiteral("Confirm")) {
            placesWhenAsked = column("Psc.DB", "MÍSTO").size();
            question = box.text;
            return platform::Button::Yes;
        }
        return platform::Button::Ok;
    });
    importFile(path);
    EXPECT_EQ(placesWhenAsked, 80);
    for (const QString& part : {QStringLiteral("(%1, oddělovač „;“, 9 řádků s místy)").arg(encoding),
                                QStringLiteral("Přidat nová místa: 5"), QStringLiteral("Změnit PSČ nebo typ: 1"),
                                QStringLiteral("Beze změny: 2"), QStringLiteral("Jen v tabulce, zůstanou: 77"),
                                QStringLiteral("Opakované řádky (sloučí se): 1"),
                                QStringLiteral("Kolín: 280 02 → 280 00"), QStringLiteral("Dolní Žďár: 377 01")})
        EXPECT_TRUE(question.contains(part)) << part.toStdString() << "\n" << question.toStdString();

    EXPECT_EQ(column("Psc.DB", "MÍSTO").size(), 85);
    EXPECT_EQ(codeOf(QStringLiteral("Abertamy")), QStringLiteral("362 35"));
    EXPECT_EQ(codeOf(QStringLiteral("Dolní Žďár")), QStringLiteral("377 01"));
    EXPECT_EQ(codeOf(QStringLiteral("Řevnice")), QStringLiteral("252 30"));
    EXPECT_EQ(codeOf(QStringLiteral("Kolín")), QStringLiteral("280 00"));
    EXPECT_EQ(codeOf(QStringLiteral("Zlín")), QStringLiteral("760 01"));
    // One name, two codes: told apart by the district.
    EXPECT_EQ(codeOf(QStringLiteral("Lhota (Benešov)")), QStringLiteral("256 01"));
    EXPECT_EQ(codeOf(QStringLiteral("Lhota (Kladno)")), QStringLiteral("272 01"));
    EXPECT_EQ(child<QLabel>(*m_form, "LabelPocetZaznamu")->text(), QStringLiteral("(85 záznamů)"));
    EXPECT_EQ(m_fakes.dialogs.lastBox().text,
              QStringLiteral("Seznam PSČ je načten. Přidáno: 5, změněno: 1, beze změny: 2."));

    // The same file again brings nothing new.
    m_fakes.dialogs.clear();
    importFile(path);
    ASSERT_EQ(m_fakes.dialogs.shown().size(), 1);
    EXPECT_EQ(m_fakes.dialogs.lastBox().caption, QStringLiteral("Information"));
}

TEST_F(PostalImportTest, LoadsThePostsListInWindows1250)
{
    loadsThePostsList(windows1250(kPostList), QStringLiteral("Windows-1250"));
}

TEST_F(PostalImportTest, LoadsThePostsListInUtf8)
{
    loadsThePostsList(kPostList.toUtf8(), QStringLiteral("UTF-8"));
}

// A bad file names the line at fault, asks nothing and leaves the table file
// exactly as it was.
TEST_F(PostalImportTest, BadFilesChangeNothing)
{
    QByteArray brokenUtf8 = kPostList.toUtf8();
    brokenUtf8.insert(brokenUtf8.indexOf("Zlín"), "\xC3\x28");
    const struct {
        const char* what;
        QByteArray bytes;
        int line;
    } cases[] = {
        {"a code of four digits", QStringLiteral("Místo;PSČ\nAš;35201\nBor;3480\n").toUtf8(), 3},
        {"a code with a letter", QStringLiteral("Obec;PSC\nAš;352 0l\n").toUtf8(), 2},
        {"a code of six digits", QStringLiteral("Obec,PSC\nAš,352011\n").toUtf8(), 2},
        {"no code at all", QStringLiteral("Obec;PSC\nAš;35201\nBor;\n").toUtf8(), 3},
        {"a missing column", QStringLiteral("Obec;PSC\nAš;35201\nBor\n").toUtf8(), 3},
        {"an empty place", QStringLiteral("Obec;PSC\n  ;35201\n").toUtf8(), 2},
        {"one place, two codes, nothing to tell them apart",
         QStringLiteral("Obec;PSC\nLhota;25601\nAš;35201\nlhota;27201\n").toUtf8(), 4},
        {"a name too long for the table",
         QStringLiteral("Obec;PSC\n%1;25601\n").arg(QString(51, QLatin1Char('x'))).toUtf8(), 2},
        {"broken UTF-8", brokenUtf8, 8},
        {"an unclosed quote", QStringLiteral("Obec;PSC\nAš;35201\n\"Bor;34802\nCheb;35002\n").toUtf8(), 3},
    };
    const std::string before = fileBytes(tableFile("Psc.DB"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        m_fakes.dialogs.clear();
        importFile(writeFile(QStringLiteral("bad.csv"), c.bytes));
        ASSERT_EQ(m_fakes.dialogs.shown().size(), 1);
        const platform::ShownBox box = m_fakes.dialogs.lastBox();
        EXPECT_EQ(box.icon, platform::Icon::Error);
        EXPECT_TRUE(box.text.contains(QStringLiteral("Řádek %1: ").arg(c.line))) << box.text.toStdString();
        EXPECT_TRUE(box.text.endsWith(QStringLiteral("Tabulka PSČ zůstala beze změny."))) << box.text.toStdString();
        EXPECT_EQ(fileBytes(tableFile("Psc.DB")), before);
    }
}

// Answering No to the plan, or cancelling the file choice, stores nothing.
TEST_F(PostalImportTest, NoStoresNothing)
{
    const std::string before = fileBytes(tableFile("Psc.DB"));
    m_fakes.dialogs.answerNext(platform::Button::No);
    importFile(writeFile(QStringLiteral("list.csv"), kPostList.toUtf8()));
    EXPECT_EQ(m_fakes.dialogs.lastBox().caption, QStringLiteral("Confirm"));
    EXPECT_EQ(fileBytes(tableFile("Psc.DB")), before);
    m_fakes.dialogs.clear();
    click(*m_form, "SpeedButtonNacist"); // no file chosen
    EXPECT_TRUE(m_fakes.dialogs.shown().isEmpty());
    EXPECT_EQ(child<QLabel>(*m_form, "LabelPocetZaznamu")->text(), QStringLiteral("(80 záznamů)"));
}

// Columns the import does not know by name are asked for; cancelling stops.
TEST_F(PostalImportTest, AsksForUnknownColumns)
{
    const QString path =
        writeFile(QStringLiteral("own.csv"), QStringLiteral("Kód;Název;Poznámka\n43401;Most;\n46001;Liberec;\n").toUtf8());
    int asked = 0;
    QStringList header;
    std::optional<PostalColumns> answer;
    m_form->setColumnChooser([&](const CsvDocument& document, const PostalColumns&) {
        ++asked;
        header = document.header;
        return answer;
    });
    importFile(path);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(header, (QStringList{"Kód", "Název", "Poznámka"}));
    EXPECT_TRUE(m_fakes.dialogs.shown().isEmpty());

    PostalColumns chosen;
    chosen.place = 1;
    chosen.code = 0;
    answer = chosen;
    importFile(path);
    EXPECT_EQ(codeOf(QStringLiteral("Most")), QStringLiteral("434 01"));
}

// The column dialog offers every column with an example and will not take
// one column for both the place and the code.
TEST_F(PostalImportTest, ColumnDialog)
{
    const CsvDocument document =
        directories::readCsv(QStringLiteral("Kód;Název;Druh\n43401;Most;město\n").toUtf8());
    directories::PostalColumnsDialog dialog(document, directories::recognisePostalColumns(document.header));
    auto* place = child<QComboBox>(dialog, "ComboBoxMisto");
    auto* code = child<QComboBox>(dialog, "ComboBoxPsc");
    auto* type = child<QComboBox>(dialog, "ComboBoxTyp");
    EXPECT_EQ(place->itemText(1), QStringLiteral("2. Název (např. Most)"));
    EXPECT_EQ(type->itemText(0), QStringLiteral("(žádný)"));
    QPushButton* ok = dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
    place->setCurrentIndex(1);
    code->setCurrentIndex(1);
    EXPECT_FALSE(ok->isEnabled());
    EXPECT_FALSE(child<QLabel>(dialog, "LabelProblem")->text().isEmpty());
    code->setCurrentIndex(0);
    type->setCurrentIndex(3);
    EXPECT_TRUE(ok->isEnabled());
    const PostalColumns columns = dialog.columns();
    EXPECT_EQ(columns.place, 1);
    EXPECT_EQ(columns.code, 0);
    EXPECT_EQ(columns.type, 2);
}

// --- the plan on its own

CsvDocument document(const QString& text)
{
    return directories::readCsv(text.toUtf8());
}

QStringList plannedNames(const PostalImportPlan& plan)
{
    QStringList names;
    for (const auto& addition : plan.additions)
        names << addition.place + QLatin1Char('=') + addition.code;
    return names;
}

// Places of one name with different codes take the first of district,
// municipality and post office that tells them apart; a stored place of
// that name keeps it for the line with its code; repeated lines merge.
TEST(PostalImportPlan, TellsApartPlacesOfOneName)
{
    const QString header = QStringLiteral("NAZCOBCE;PSC;NAZPOST;NAZOKRESU;NAZOBCE\n");
    const struct {
        const char* what;
        QString lines;
        std::vector<StoredPlace> stored;
        QStringList added;
        int repeated;
    } cases[] = {
        {"by district", "Lhota;25601;Mrač;Benešov;Mrač\nLhota;27201;Kladno;Kladno;Kladno\n", {},
         {"Lhota (Benešov)=256 01", "Lhota (Kladno)=272 01"}, 0},
        {"by municipality within a district",
         "Lhota;25601;Mrač;Benešov;Mrač\nLhota;25801;Vlašim;Benešov;Vlašim\n", {},
         {"Lhota (Mrač, Benešov)=256 01", "Lhota (Vlašim, Benešov)=258 01"}, 0},
        {"by post office within a town",
         "Nové Město;11000;Praha 1;Praha;Praha\nNové Město;12000;Praha 2;Praha;Praha\n", {},
         {"Nové Město (Praha, Praha 1)=110 00", "Nové Město (Praha, Praha 2)=120 00"}, 0},
        {"a stored place keeps its name",
         "Benešov;25601;Benešov;Benešov;Benešov\nBenešov;51401;Benešov u Semil;Semily;Benešov u Semil\n",
         {{"Benešov", "256 01", "", {}}},
         {"Benešov (Semily)=514 01"}, 0},
        {"repeated lines merge", "Aš;35201;Aš;Cheb;Aš\nAš;352 01;Aš;Cheb;Aš\nAš;35201;Aš;Cheb;Aš\n", {},
         {"Aš=352 01"}, 2},
        {"names match whatever their case and blanks", "Aš;35201;Aš;Cheb;Aš\n  AŠ ;35201;;;\n", {},
         {"Aš=352 01"}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        PostalColumns columns = directories::recognisePostalColumns(document(header).header);
        EXPECT_EQ(columns.place, 0);
        EXPECT_EQ(columns.code, 1);
        EXPECT_EQ(columns.postOffice, 2);
        EXPECT_EQ(columns.district, 3);
        EXPECT_EQ(columns.municipality, 4);
        const PostalImportPlan plan = directories::planPostalImport(document(header + c.lines), columns, c.stored);
        EXPECT_EQ(plannedNames(plan), c.added);
        EXPECT_EQ(plan.repeatedLines, c.repeated);
    }
}

TEST(PostalImportPlan, NormalisesCodes)
{
    const std::pair<QString, std::optional<QString>> cases[] = {
        {"36235", QStringLiteral("362 35")}, {"362 35", QStringLiteral("362 35")},
        {" 3 6 2 3 5 ", QStringLiteral("362 35")}, {"3623", std::nullopt},
        {"362356", std::nullopt}, {"36a35", std::nullopt}, {"", std::nullopt}, {"３６２３５", std::nullopt},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(directories::normalisedPostalCode(text), expected) << text.toStdString();
}

} // namespace
} // namespace dirtest
