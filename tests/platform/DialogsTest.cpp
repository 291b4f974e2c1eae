#include "platform/Fakes.h"
#include "platform/RealServices.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QMessageBox>
#include <QPrinter>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTranslator>

#include <gtest/gtest.h>

#include <functional>

using platform::Button;
using platform::Icon;

namespace {

struct HelperCase {
    const char* name;
    std::function<void(platform::Dialogs&)> call;
    QString caption;
    Icon icon;
    QList<Button> buttons;
};

// Every helper must build the box the conventions prescribe: a wrong caption,
// sign or button set is what the user sees first.
TEST(DialogHelpers, BuildTheConventionalBoxes)
{
    const QString title = QStringLiteral("Pelmir a telefony");
    const std::vector<HelperCase> cases = {
        {"confirm",
         [](auto& d) { d.confirm("t"); },
         "Confirm",
         Icon::Question,
         {Button::Yes, Button::No}},
        {"confirmYesNoCancel",
         [](auto& d) { d.confirmYesNoCancel("t"); },
         "Confirm",
         Icon::Question,
         {Button::Yes, Button::No, Button::Cancel}},
        {"information",
         [](auto& d) { d.information("t"); },
         "Information",
         Icon::Information,
         {Button::Ok}},
        {"warning", [](auto& d) { d.warning("t"); }, "Warning", Icon::Warning, {Button::Ok}},
        {"error", [](auto& d) { d.error("t"); }, "Error", Icon::Error, {Button::Ok}},
        {"errorBox", [](auto& d) { d.errorBox("t"); }, title, Icon::Error, {Button::Ok}},
        {"message", [](auto& d) { d.message("t"); }, title, Icon::None, {Button::Ok}},
        {"okCancel",
         [](auto& d) { d.okCancel("t"); },
         "Confirm",
         Icon::Question,
         {Button::Ok, Button::Cancel}},
    };
    for (const HelperCase& c : cases) {
        SCOPED_TRACE(c.name);
        platform::FakeDialogs dialogs;
        c.call(dialogs);
        ASSERT_EQ(dialogs.shown().size(), 1);
        const platform::ShownBox box = dialogs.lastBox();
        EXPECT_EQ(box.caption, c.caption);
        EXPECT_EQ(box.text, "t");
        EXPECT_EQ(box.icon, c.icon);
        EXPECT_EQ(box.buttons, c.buttons);
    }
}

// Questions proceed only on Yes (okCancel only on OK): an answer mapped the
// wrong way round would delete what the user meant to keep.
TEST(DialogHelpers, QuestionsProceedOnlyOnTheirPositiveAnswer)
{
    platform::FakeDialogs dialogs;
    dialogs.answerNext(Button::Yes);
    dialogs.answerNext(Button::No);
    dialogs.answerNext(Button::Ok);
    dialogs.answerNext(Button::Cancel);
    dialogs.answerNext(Button::Cancel);
    EXPECT_TRUE(dialogs.confirm("a"));
    EXPECT_FALSE(dialogs.confirm("b"));
    EXPECT_TRUE(dialogs.okCancel("c"));
    EXPECT_FALSE(dialogs.okCancel("d"));
    EXPECT_EQ(dialogs.confirmYesNoCancel("e"), Button::Cancel);
    EXPECT_EQ(dialogs.shownTexts(), (QStringList{"a", "b", "c", "d", "e"}));
    EXPECT_EQ(dialogs.pendingAnswers(), 0);
}

// Unscripted boxes take the answer that lets a test walk the happy path.
TEST(FakeDialogs, DefaultAnswersAreYesThenOk)
{
    platform::FakeDialogs dialogs;
    EXPECT_TRUE(dialogs.confirm("x"));
    EXPECT_TRUE(dialogs.okCancel("x"));
    EXPECT_EQ(dialogs.confirmYesNoCancel("x"), Button::Yes);
    EXPECT_EQ(dialogs.show({"c", "t", Icon::None, {Button::Cancel}}), Button::Cancel);
}

TEST(FakeDialogs, ResponderSeesEachBoxBeforeAnswering)
{
    platform::FakeDialogs dialogs;
    dialogs.setResponder([](const platform::ShownBox& box) {
        return box.text.contains("smazat") ? Button::No : Button::Yes;
    });
    EXPECT_FALSE(dialogs.confirm("Opravdu smazat?"));
    EXPECT_TRUE(dialogs.confirm("Uložit?"));
}

// Scripted dialog answers are consumed in order and an empty queue is a
// cancelled dialog, so a forgotten script cannot pass for a chosen file.
TEST(FakeDialogs, ScriptedFileColourAndFontAnswers)
{
    platform::FakeDialogs dialogs;
    dialogs.answerNextOpenFile(QStringLiteral("dopis.rtf"));
    dialogs.answerNextSaveFile(std::nullopt);
    dialogs.answerNextColor(QColor(Qt::red));
    QFont font(QStringLiteral("Liberation Sans"), 14);
    dialogs.answerNextFont(font);

    EXPECT_EQ(dialogs.openFileName("Otevřít", "dir", "*.rtf"), QStringLiteral("dopis.rtf"));
    EXPECT_EQ(dialogs.openFileName("Otevřít", "dir", "*.rtf"), std::nullopt);
    EXPECT_EQ(dialogs.saveFileName("Uložit", "d2", "*.txt"), std::nullopt);
    EXPECT_EQ(dialogs.chooseColor(Qt::white), QColor(Qt::red));
    EXPECT_EQ(dialogs.chooseColor(Qt::white), std::nullopt);
    EXPECT_EQ(dialogs.chooseFont(QFont()), font);

    ASSERT_EQ(dialogs.fileRequests().size(), 3);
    EXPECT_TRUE(dialogs.fileRequests()[2].save);
    EXPECT_EQ(dialogs.fileRequests()[2].caption, "Uložit");
    EXPECT_EQ(dialogs.fileRequests()[2].filter, "*.txt");
    EXPECT_EQ(dialogs.colourRequests(), (QList<QColor>{Qt::white, Qt::white}));

    QPrinter printer;
    EXPECT_TRUE(dialogs.print(printer, nullptr));
    dialogs.setPrinterSetupAnswer(false);
    EXPECT_FALSE(dialogs.printerSetup(printer, nullptr));
    EXPECT_EQ(dialogs.printDialogs(), 1);
    EXPECT_EQ(dialogs.printerSetupDialogs(), 1);
}

struct RealBoxCase {
    platform::ShownBox box;
    QMessageBox::Icon qtIcon;
    QStringList buttonTexts;
    QString escapeText;
};

// The real box must carry the toolkit's English captions and button texts,
// the right sign, and Esc must mean No or Cancel, never Yes.
TEST(QtDialogs, MessageBoxCarriesCaptionSignAndButtons)
{
    const std::vector<RealBoxCase> cases = {
        {{"Confirm", "Smazat záznam?", Icon::Question, {Button::Yes, Button::No}},
         QMessageBox::Question,
         {"&Yes", "&No"},
         "&No"},
        {{"Confirm", "Uložit?", Icon::Question, {Button::Yes, Button::No, Button::Cancel}},
         QMessageBox::Question,
         {"&Yes", "&No", "Cancel"},
         "Cancel"},
        {{"Pelmir a telefony", "Chyba čtení", Icon::Error, {Button::Ok}},
         QMessageBox::Critical,
         {"OK"},
         "OK"},
        {{"Pelmir a telefony", "Hotovo", Icon::None, {Button::Ok}},
         QMessageBox::NoIcon,
         {"OK"},
         "OK"},
        {{"Warning", "Pozor", Icon::Warning, {Button::Ok}}, QMessageBox::Warning, {"OK"}, "OK"},
        {{"Information", "Info", Icon::Information, {Button::Ok}},
         QMessageBox::Information,
         {"OK"},
         "OK"},
    };
    for (const RealBoxCase& c : cases) {
        SCOPED_TRACE(c.box.text.toStdString());
        QHash<QAbstractButton*, Button> map;
        auto box = platform::QtDialogs::buildMessageBox(c.box, nullptr, &map);
        EXPECT_EQ(box->windowTitle(), c.box.caption);
        EXPECT_EQ(box->text(), c.box.text);
        EXPECT_EQ(box->icon(), c.qtIcon);
        QStringList texts;
        for (Button b : c.box.buttons)
            texts.append(map.key(b)->text());
        EXPECT_EQ(texts, c.buttonTexts);
        EXPECT_EQ(box->buttons().size(), c.buttonTexts.size());
        ASSERT_NE(box->escapeButton(), nullptr);
        EXPECT_EQ(box->escapeButton()->text(), c.escapeText);
    }
}

// Clicking a real button must come back as the button it stands for.
TEST(QtDialogs, ClickedButtonMapsBackToTheAnswer)
{
    QHash<QAbstractButton*, Button> map;
    auto box = platform::QtDialogs::buildMessageBox(
        {"Confirm", "?", Icon::Question, {Button::Yes, Button::No}}, nullptr, &map);
    box->show();
    QAbstractButton* no = map.key(Button::No);
    QTest::mouseClick(no, Qt::LeftButton);
    EXPECT_EQ(box->clickedButton(), no);
    EXPECT_EQ(map.value(box->clickedButton()), Button::No);
}

} // namespace

namespace {

// Runs `open` while a timer waits for the modal dialog it shows, notes the
// dialog's help topic and title, and answers it with `answer`.
struct SeenDialog {
    QVariant topic;
    QString title;
};

template <typename Open>
SeenDialog whileDialogOpen(Open open, const std::function<void(QDialog*)>& answer)
{
    SeenDialog seen;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        seen.topic = dialog->property(platform::kHelpTopicProperty);
        seen.title = dialog->windowTitle();
        answer(dialog);
    });
    poll.start(5);
    open();
    return seen;
}

} // namespace

// The colour and printer set-up dialogs carry their help topic for F1; the
// colour dialog gives the chosen colour back and nothing when cancelled.
TEST(QtDialogs, ColourAndPrinterSetUpDialogs)
{
    platform::QtDialogs dialogs;
    std::optional<QColor> chosen = QColor(Qt::white);
    SeenDialog seen = whileDialogOpen([&] { chosen = dialogs.chooseColor(Qt::red); },
                                      [](QDialog* dialog) { dialog->reject(); });
    EXPECT_EQ(chosen, std::nullopt);
    EXPECT_EQ(seen.topic.toInt(), platform::kSettingsDialogsHelpTopic);

    seen = whileDialogOpen([&] { chosen = dialogs.chooseColor(Qt::red); },
                           [](QDialog* dialog) { dialog->accept(); });
    EXPECT_EQ(chosen, QColor(Qt::red));

    QPrinter printer;
    bool accepted = true;
    QString okText;
    seen = whileDialogOpen([&] { accepted = dialogs.printerSetup(printer, nullptr); },
                           [&](QDialog* dialog) {
                               if (auto* buttons = dialog->findChild<QDialogButtonBox*>())
                                   okText = buttons->button(QDialogButtonBox::Ok)->text();
                               dialog->reject();
                           });
    EXPECT_FALSE(accepted);
    EXPECT_EQ(seen.topic.toInt(), platform::kSettingsDialogsHelpTopic);
    EXPECT_EQ(seen.title, QStringLiteral("Nastavení tiskárny"));
    EXPECT_EQ(okText, QStringLiteral("OK")); // nothing prints here: no "Print"
}

// With the toolkit's Czech translation loaded its dialogs speak Czech, while
// the message boxes keep the English captions and buttons they set themselves.
TEST(QtDialogs, CzechToolkitKeepsTheMessageBoxesEnglish)
{
    const std::unique_ptr<QTranslator> czech = platform::installToolkitTranslation();
    ASSERT_NE(czech, nullptr) << "qt6-translations-l10n is not installed";
    EXPECT_NE(QCoreApplication::translate("QColorDialog", "Select Color"),
              QStringLiteral("Select Color"));
    EXPECT_NE(QCoreApplication::translate("QFileDialog", "Save As"), QStringLiteral("Save As"));

    QHash<QAbstractButton*, Button> map;
    auto box = platform::QtDialogs::buildMessageBox(
        {"Confirm", "Smazat?", Icon::Question, {Button::Yes, Button::No}}, nullptr, &map);
    EXPECT_EQ(box->windowTitle(), QStringLiteral("Confirm"));
    EXPECT_EQ(map.key(Button::Yes)->text(), QStringLiteral("&Yes"));
    EXPECT_EQ(map.key(Button::No)->text(), QStringLiteral("&No"));
}

// A box with a short text was narrower than its own caption ("Pe... ny").
TEST(QtDialogs, ABoxWithAShortTextShowsItsWholeCaption)
{
    auto box = platform::QtDialogs::buildMessageBox(
        {"Pelmir a telefony", "OK", Icon::Error, {Button::Ok}}, nullptr, nullptr);
    box->show();
    EXPECT_GE(box->width(), box->fontMetrics().horizontalAdvance(QStringLiteral("Pelmir a telefony")) + 160);
    EXPECT_GE(box->width(), 320);
}
