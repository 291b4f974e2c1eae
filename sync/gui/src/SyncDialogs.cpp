#include "SyncDialogs.h"

#include "SyncGuiTexts.h"

#include "sync/NameDayCalendar.h"

#include "platform/Platform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace davsync {

namespace {

// The calendar combo's value for "the planner is not synced".
const QString kNoCalendar = QStringLiteral("-");

} // namespace

SyncSettingsDialog::SyncSettingsDialog(
    const SyncSettings& settings, const QString& password,
    std::function<std::vector<Collection>(const SyncSettings&, const QString&)> findBooks, QWidget* parent)
    : QDialog(parent), m_initial(settings), m_findBooks(std::move(findBooks))
{
    setObjectName(QStringLiteral("SyncSettingsDialog"));
    setWindowTitle(texts::kSettingsTitle);
    setMinimumWidth(600);
    m_server = new QLineEdit(settings.server.toString(QUrl::RemoveUserInfo), this);
    m_server->setObjectName(QStringLiteral("EditServer"));
    m_server->setPlaceholderText(QStringLiteral("https://server.cz/dav/"));
    m_user = new QLineEdit(settings.user, this);
    m_user->setObjectName(QStringLiteral("EditUzivatel"));
    m_password = new QLineEdit(password, this);
    m_password->setObjectName(QStringLiteral("EditHeslo"));
    m_password->setEchoMode(QLineEdit::Password);
    m_insecure = new QCheckBox(texts::kInsecureBox, this);
    m_insecure->setObjectName(QStringLiteral("CheckNesifrovane"));
    m_insecure->setChecked(settings.insecureAccepted);
    m_books = new QComboBox(this);
    m_books->setObjectName(QStringLiteral("ComboAdresar"));
    m_books->setMinimumWidth(260);
    if (!settings.addressBook.isEmpty())
        m_books->addItem(settings.addressBookName.isEmpty() ? settings.addressBook : settings.addressBookName,
                         settings.addressBook);
    m_books->addItem(texts::kNewBook, QString());
    m_calendars = new QComboBox(this);
    m_calendars->setObjectName(QStringLiteral("ComboKalendar"));
    m_calendars->addItem(texts::kNoPlannerSync, kNoCalendar);
    if (settings.planner && !settings.calendar.isEmpty())
        m_calendars->addItem(settings.calendarName.isEmpty() ? settings.calendar : settings.calendarName,
                             settings.calendar);
    m_calendars->addItem(texts::kNewCalendar, QString());
    m_calendars->setCurrentIndex(settings.planner ? (settings.calendar.isEmpty() ? m_calendars->count() - 1 : 1) : 0);
    m_nameDays = new QCheckBox(texts::kNameDaysBox, this);
    m_nameDays->setObjectName(QStringLiteral("CheckJmeniny"));
    m_nameDays->setChecked(settings.nameDays);
    auto* load = new QPushButton(texts::kLoadBooks, this);
    load->setObjectName(QStringLiteral("ButtonNacist"));
    connect(load, &QPushButton::clicked, this, [this] { loadBooks(); });

    auto* form = new QFormLayout;
    form->addRow(texts::kServerLabel, m_server);
    form->addRow(texts::kUserLabel, m_user);
    form->addRow(texts::kPasswordLabel, m_password);
    form->addRow(QString(), m_insecure);
    auto* bookRow = new QHBoxLayout;
    bookRow->addWidget(m_books, 1);
    bookRow->addWidget(load);
    auto* bookLabel = new QLabel(texts::kBookLabel, this);
    bookLabel->setBuddy(m_books);
    form->addRow(bookLabel, bookRow);
    auto* calendarLabel = new QLabel(texts::kCalendarLabel, this);
    calendarLabel->setBuddy(m_calendars);
    form->addRow(calendarLabel, m_calendars);
    form->addRow(QString(), m_nameDays);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("Tlacitka"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

SyncSettings SyncSettingsDialog::settings() const
{
    SyncSettings result = m_initial;
    result.server = QUrl::fromUserInput(m_server->text().trimmed());
    result.user = m_user->text().trimmed();
    result.insecureAccepted = m_insecure->isChecked();
    result.addressBook = m_books->currentData().toString();
    result.addressBookName = result.addressBook.isEmpty() ? QString() : m_books->currentText();
    const QString calendar = m_calendars->currentData().toString();
    result.planner = calendar != kNoCalendar;
    result.calendar = result.planner ? calendar : QString();
    result.calendarName = result.calendar.isEmpty() ? QString() : m_calendars->currentText();
    result.nameDays = m_nameDays->isChecked();
    return result;
}

QString SyncSettingsDialog::password() const
{
    return m_password->text();
}

void SyncSettingsDialog::loadBooks()
{
    platform::Dialogs& dialogs = *platform::services().dialogs;
    const SyncSettings typed = settings();
    if (const QString problem = serverAddressProblem(typed.server, typed.insecureAccepted); !problem.isEmpty()) {
        dialogs.warning(problem);
        return;
    }
    try {
        const std::vector<Collection> found = m_findBooks(typed, password());
        const QString chosen = m_books->currentData().toString();
        const QString chosenCalendar = m_calendars->currentData().toString();
        m_books->clear();
        m_calendars->clear();
        m_calendars->addItem(texts::kNoPlannerSync, kNoCalendar);
        for (const Collection& collection : found) {
            const QString name = collection.displayName.isEmpty() ? collection.path : collection.displayName;
            if (collection.kind == CollectionKind::AddressBook)
                m_books->addItem(name, collection.path);
            else if (name != kNameDayCalendarName)
                m_calendars->addItem(name, collection.path);
        }
        m_books->addItem(texts::kNewBook, QString());
        m_calendars->addItem(texts::kNewCalendar, QString());
        const int at = m_books->findData(chosen);
        m_books->setCurrentIndex(at >= 0 ? at : 0);
        const int calendarAt = m_calendars->findData(chosenCalendar);
        m_calendars->setCurrentIndex(calendarAt >= 0 ? calendarAt : 0);
    } catch (const SyncError& error) {
        dialogs.error(error.message());
    }
}

void SyncSettingsDialog::accept()
{
    platform::Dialogs& dialogs = *platform::services().dialogs;
    SyncSettings typed = settings();
    if (isInsecure(typed.server) && typed.insecureAccepted && !m_initial.insecureAccepted &&
        !dialogs.confirm(texts::kInsecureWarning))
        return;
    if (const QString problem = serverAddressProblem(typed.server, typed.insecureAccepted); !problem.isEmpty()) {
        dialogs.warning(problem);
        m_server->setFocus();
        return;
    }
    QDialog::accept();
}

namespace {

QTableWidget* versionsTable(const QStringList& headers, int rows, QWidget* parent)
{
    auto* table = new QTableWidget(rows, static_cast<int>(headers.size()), parent);
    table->setObjectName(QStringLiteral("GridVerze"));
    table->setHorizontalHeaderLabels(headers);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    table->horizontalHeader()->setStretchLastSection(true);
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setWordWrap(true);
    return table;
}

QDialog* versionsDialog(const QString& title, const QString& intro, QTableWidget*& table, const QStringList& headers,
                        int rows, const QString& okText, QWidget* parent)
{
    auto* dialog = new QDialog(parent);
    dialog->setWindowTitle(title);
    dialog->resize(860, 420);
    auto* label = new QLabel(intro, dialog);
    label->setWordWrap(true);
    table = versionsTable(headers, rows, dialog);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    buttons->setObjectName(QStringLiteral("Tlacitka"));
    if (!okText.isEmpty())
        buttons->button(QDialogButtonBox::Ok)->setText(okText);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(label);
    layout->addWidget(table, 1);
    layout->addWidget(buttons);
    return dialog;
}

} // namespace

std::optional<std::vector<Choice>> askConflicts(const LocalSide& side, const std::vector<Conflict>& conflicts,
                                                QWidget* parent)
{
    QTableWidget* table = nullptr;
    std::unique_ptr<QDialog> dialog(versionsDialog(
        texts::kConflictsTitle, texts::kConflictsIntro, table,
        {texts::kColumnRecord, texts::kColumnHere, texts::kColumnServer, texts::kColumnChoice},
        static_cast<int>(conflicts.size()), {}, parent));
    dialog->setObjectName(QStringLiteral("SyncConflictsDialog"));
    std::vector<QComboBox*> choices;
    for (int row = 0; row < static_cast<int>(conflicts.size()); ++row) {
        const Conflict& conflict = conflicts[static_cast<std::size_t>(row)];
        table->setItem(row, 0, new QTableWidgetItem(conflict.key));
        table->setItem(row, 1, new QTableWidgetItem(side.describe(conflict.local)));
        table->setItem(row, 2, new QTableWidgetItem(side.describe(conflict.server)));
        auto* choice = new QComboBox(table);
        choice->setObjectName(QStringLiteral("ComboPlati%1").arg(row));
        choice->addItem(texts::kChoiceServer);
        choice->addItem(texts::kChoiceHere);
        table->setCellWidget(row, 3, choice);
        choices.push_back(choice);
    }
    table->resizeColumnsToContents();
    if (dialog->exec() != QDialog::Accepted)
        return std::nullopt;
    std::vector<Choice> result;
    for (QComboBox* choice : choices)
        result.push_back(choice->currentIndex() == 1 ? Choice::Local : Choice::Server);
    return result;
}

bool askPairs(const LocalSide& side, const std::vector<Pair>& pairs, QWidget* parent)
{
    QTableWidget* table = nullptr;
    std::unique_ptr<QDialog> dialog(versionsDialog(texts::kPairsTitle, texts::kPairsIntro, table,
                                                   {texts::kColumnHere, texts::kColumnServer},
                                                   static_cast<int>(pairs.size()), texts::kJoin, parent));
    dialog->setObjectName(QStringLiteral("SyncPairsDialog"));
    for (int row = 0; row < static_cast<int>(pairs.size()); ++row) {
        table->setItem(row, 0, new QTableWidgetItem(side.describe(pairs[static_cast<std::size_t>(row)].local)));
        table->setItem(row, 1, new QTableWidgetItem(side.describe(pairs[static_cast<std::size_t>(row)].server)));
    }
    table->resizeColumnsToContents();
    return dialog->exec() == QDialog::Accepted;
}

} // namespace davsync
