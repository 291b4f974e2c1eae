#include "platform/RealServices.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QGridLayout>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPushButton>
#include <QTranslator>

#include <algorithm>

namespace platform {

namespace {

// The toolkit's standard boxes keep their English button texts.
const QString textYes = QStringLiteral("&Yes");
const QString textNo = QStringLiteral("&No");
const QString textOk = QStringLiteral("OK");
const QString textCancel = QStringLiteral("Cancel");

// The printer set-up only chooses the printer: its confirming button says so
// instead of the print dialog's "Print".
const QString textSetupOk = QStringLiteral("OK");

// The narrowest message box: wide enough for its caption in the title bar
// beside the window's buttons, which a short text made the toolkit cut.
constexpr int kMinimumBoxWidth = 320;
constexpr int kTitleBarButtons = 160;

QMessageBox::Icon toQtIcon(Icon icon)
{
    switch (icon) {
    case Icon::Information:
        return QMessageBox::Information;
    case Icon::Warning:
        return QMessageBox::Warning;
    case Icon::Error:
        return QMessageBox::Critical;
    case Icon::Question:
        return QMessageBox::Question;
    case Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::ButtonRole roleOf(Button button)
{
    switch (button) {
    case Button::Yes:
        return QMessageBox::YesRole;
    case Button::No:
        return QMessageBox::NoRole;
    case Button::Ok:
        return QMessageBox::AcceptRole;
    case Button::Cancel:
        return QMessageBox::RejectRole;
    }
    return QMessageBox::AcceptRole;
}

QWidget* dialogParent()
{
    return QApplication::activeWindow();
}

// What closing the box without a button (Esc, the window's close) means.
Button escapeAnswer(const QList<Button>& buttons)
{
    if (buttons.contains(Button::Cancel))
        return Button::Cancel;
    if (buttons.contains(Button::No))
        return Button::No;
    return buttons.isEmpty() ? Button::Ok : buttons.first();
}

} // namespace

QString QtDialogs::buttonText(Button button)
{
    switch (button) {
    case Button::Yes:
        return textYes;
    case Button::No:
        return textNo;
    case Button::Ok:
        return textOk;
    case Button::Cancel:
        return textCancel;
    }
    return textOk;
}

std::unique_ptr<QMessageBox> QtDialogs::buildMessageBox(const ShownBox& box, QWidget* parent,
                                                        QHash<QAbstractButton*, Button>* buttons)
{
    auto messageBox = std::make_unique<QMessageBox>(parent);
    messageBox->setWindowTitle(box.caption);
    messageBox->setText(box.text);
    messageBox->setIcon(toQtIcon(box.icon));
    // The box sizes itself to its text and ignores a minimum width; a spacer
    // across its grid holds it open.
    if (auto* grid = qobject_cast<QGridLayout*>(messageBox->layout())) {
        const int width = std::max(kMinimumBoxWidth, messageBox->fontMetrics().horizontalAdvance(
                                                         box.caption) + kTitleBarButtons);
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Expanding),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
    const QList<Button> offered = box.buttons.isEmpty() ? QList<Button>{Button::Ok} : box.buttons;
    const Button escape = escapeAnswer(offered);
    for (Button button : offered) {
        QPushButton* push = messageBox->addButton(buttonText(button), roleOf(button));
        if (button == offered.first())
            messageBox->setDefaultButton(push);
        if (button == escape)
            messageBox->setEscapeButton(push);
        if (buttons)
            buttons->insert(push, button);
    }
    return messageBox;
}

Button QtDialogs::show(const ShownBox& box)
{
    QHash<QAbstractButton*, Button> buttons;
    std::unique_ptr<QMessageBox> messageBox = buildMessageBox(box, dialogParent(), &buttons);
    messageBox->exec();
    return buttons.value(messageBox->clickedButton(), escapeAnswer(box.buttons));
}

std::optional<QColor> QtDialogs::chooseColor(const QColor& initial)
{
    QColorDialog dialog(initial, dialogParent());
    dialog.setProperty(kHelpTopicProperty, kSettingsDialogsHelpTopic);
    if (dialog.exec() != QDialog::Accepted || !dialog.selectedColor().isValid())
        return std::nullopt;
    return dialog.selectedColor();
}

std::optional<QFont> QtDialogs::chooseFont(const QFont& initial)
{
    bool accepted = false;
    const QFont font = QFontDialog::getFont(&accepted, initial, dialogParent());
    if (!accepted)
        return std::nullopt;
    return font;
}

std::optional<QString> QtDialogs::openFileName(const QString& caption, const QString& dir,
                                               const QString& filter)
{
    const QString name = QFileDialog::getOpenFileName(dialogParent(), caption, dir, filter);
    if (name.isEmpty())
        return std::nullopt;
    return name;
}

std::optional<QString> QtDialogs::saveFileName(const QString& caption, const QString& dir,
                                               const QString& filter, OverwriteQuestion question)
{
    const QFileDialog::Options options =
        question == OverwriteQuestion::Caller ? QFileDialog::DontConfirmOverwrite : QFileDialog::Options();
    const QString name = QFileDialog::getSaveFileName(dialogParent(), caption, dir, filter, nullptr, options);
    if (name.isEmpty())
        return std::nullopt;
    return name;
}

bool QtDialogs::print(QPrinter& printer, QWidget* parent)
{
    QPrintDialog dialog(&printer, parent ? parent : dialogParent());
    return dialog.exec() == QDialog::Accepted;
}

bool QtDialogs::printerSetup(QPrinter& printer, QWidget* parent)
{
    // Choosing the printer (or a PDF file) and its paper: the print dialog
    // without the choices that belong to one job.
    QPrintDialog dialog(&printer, parent ? parent : dialogParent());
    dialog.setWindowTitle(QStringLiteral("Nastavení tiskárny"));
    dialog.setProperty(kHelpTopicProperty, kSettingsDialogsHelpTopic);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    if (auto* buttons = dialog.findChild<QDialogButtonBox*>()) {
        if (QPushButton* ok = buttons->button(QDialogButtonBox::Ok))
            ok->setText(textSetupOk);
    }
    return dialog.exec() == QDialog::Accepted;
}

std::unique_ptr<QTranslator> installToolkitTranslation()
{
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QLocale(QLocale::Czech, QLocale::CzechRepublic), QStringLiteral("qt"),
                          QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return nullptr;
    QCoreApplication::installTranslator(translator.get());
    return translator;
}

} // namespace platform
