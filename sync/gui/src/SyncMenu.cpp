#include "sync/SyncMenu.h"

#include "SyncDialogs.h"
#include "SyncGuiTexts.h"

#include "sync/SyncSession.h"

#include "platform/Platform.h"
#include "store/Database.h"

#include <functional>

namespace davsync {

namespace {

class DialogDecisions : public SyncDecisions {
public:
    // `beforeAsking` closes the progress window: it is modal over the main
    // window and would keep every click from the question's dialog.
    DialogDecisions(QWidget* parent, std::function<void()> beforeAsking)
        : m_parent(parent), m_beforeAsking(std::move(beforeAsking))
    {
    }

    bool confirmPairs(const LocalSide& side, const std::vector<Pair>& pairs) override
    {
        m_beforeAsking();
        return askPairs(side, pairs, m_parent);
    }

    std::vector<Choice> resolve(const LocalSide& side, const std::vector<Conflict>& conflicts) override
    {
        m_beforeAsking();
        std::optional<std::vector<Choice>> choices = askConflicts(side, conflicts, m_parent);
        if (!choices)
            throw SyncCancelled();
        return *choices;
    }

private:
    QWidget* m_parent;
    std::function<void()> m_beforeAsking;
};

} // namespace

SyncMenu::SyncMenu(store::Database& database, QString workDir, std::unique_ptr<PasswordStore> passwords,
                   TransportFactory transport)
    : m_database(database), m_workDir(std::move(workDir)), m_passwords(std::move(passwords)),
      m_transport(std::move(transport))
{
}

SyncMenu::~SyncMenu() = default;

std::optional<QString> SyncMenu::password(const SyncSettings& settings)
{
    if (!m_sessionPassword.isNull())
        return m_sessionPassword;
    QString error;
    return m_passwords->read(passwordAccount(settings), &error);
}

bool SyncMenu::NastaveniSynchronizaceClick(QWidget* parent)
{
    platform::Dialogs& dialogs = *platform::services().dialogs;
    QString error;
    const std::optional<SyncSettings> saved = loadSyncSettings(m_workDir, &error);
    if (!saved) {
        dialogs.error(error);
        return false;
    }
    const auto findBooks = [this](const SyncSettings& typed, const QString& typedPassword) {
        const std::unique_ptr<Transport> link = m_transport(typed.user, typedPassword);
        DavClient client(*link, typed.server);
        std::vector<Collection> found = client.discover(CollectionKind::AddressBook);
        for (Collection& calendar : client.discover(CollectionKind::Calendar))
            found.push_back(std::move(calendar));
        return found;
    };
    SyncSettingsDialog dialog(*saved, password(*saved).value_or(QString()), findBooks, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const SyncSettings settings = dialog.settings();
    if (!saveSyncSettings(m_workDir, settings, &error)) {
        dialogs.error(error);
        return false;
    }
    m_sessionPassword = QString();
    if (!m_passwords->write(passwordAccount(settings), dialog.password(), &error)) {
        // No keyring on this desktop: the password is kept until the program ends.
        m_sessionPassword = dialog.password();
        dialogs.warning(texts::kKeyringMissing.arg(error));
    }
    return true;
}

void SyncMenu::SynchronizovatClick(QWidget* parent)
{
    platform::Dialogs& dialogs = *platform::services().dialogs;
    QString error;
    std::optional<SyncSettings> settings = loadSyncSettings(m_workDir, &error);
    if (!settings) {
        dialogs.error(error);
        return;
    }
    if (!settings->configured()) {
        if (!NastaveniSynchronizaceClick(parent))
            return;
        settings = loadSyncSettings(m_workDir, &error);
        if (!settings)
            return;
    }
    if (const QString problem = serverAddressProblem(settings->server, settings->insecureAccepted); !problem.isEmpty()) {
        dialogs.warning(problem);
        return;
    }
    std::optional<QString> secret = password(*settings);
    if (!secret && !settings->user.isEmpty()) {
        dialogs.information(texts::kAskPassword);
        if (!NastaveniSynchronizaceClick(parent))
            return;
        settings = loadSyncSettings(m_workDir, &error);
        secret = password(*settings);
        if (!settings || !secret)
            return;
    }

    // The progress window comes (again) with the next report after a question.
    std::unique_ptr<platform::ProgressTask> task;
    QString lastLabel;
    qint64 lastDone = 0, lastTotal = 0;
    const auto progressTask = [&]() -> platform::ProgressTask* {
        platform::Progress* progress = platform::services().progress;
        if (!task && progress) {
            task = progress->begin(texts::kProgressTitle, parent);
            task->setLabel(lastLabel);
        }
        return task.get();
    };
    const SyncProgress report = [&](const QString& label, qint64 done, qint64 total) {
        lastLabel = label;
        lastDone = done;
        lastTotal = total;
        platform::ProgressTask* shown = progressTask();
        if (!shown)
            return true;
        shown->setLabel(label);
        return shown->setProgress(done, total);
    };
    const std::unique_ptr<Transport> link = m_transport(settings->user, secret.value_or(QString()));
    DavClient client(*link, settings->server);
    // The window keeps repainting and "Zrušit" works while a request waits.
    const auto keepGoing = [&] {
        platform::ProgressTask* shown = progressTask();
        return !shown || shown->setProgress(lastDone, lastTotal);
    };
    client.setCancelCheck(keepGoing);
    link->setKeepGoing(keepGoing);
    DialogDecisions decisions(parent, [&] { task.reset(); });
    try {
        const QDateTime stamp = platform::services().clock ? platform::services().clock->now()
                                                           : QDateTime::currentDateTimeUtc();
        const SessionResult result = runSession(m_database, client, *settings, {}, decisions, report, stamp);
        task.reset();
        if (!saveSyncSettings(m_workDir, result.settings, &error))
            dialogs.warning(error);
        dialogs.information(summaryText(result));
    } catch (const SyncCancelled& cancelled) {
        task.reset();
        dialogs.information(cancelled.message());
    } catch (const SyncError& failure) {
        task.reset();
        dialogs.error(texts::kSyncFailed.arg(failure.message()));
    } catch (const std::exception& failure) {
        // A table that could not be read or written: what was synced before stays synced.
        task.reset();
        dialogs.error(texts::kSyncFailed.arg(QString::fromUtf8(failure.what())));
    }
}

} // namespace davsync
