#include "sync/SyncCommand.h"

#include "sync/SyncSession.h"

#include "SyncTexts.h"

namespace davsync {

namespace {

class CommandLineDecisions : public SyncDecisions {
public:
    CommandLineDecisions(QTextStream& out, bool acceptPairs) : m_out(out), m_acceptPairs(acceptPairs) {}

    bool confirmPairs(const LocalSide& side, const std::vector<Pair>& pairs) override
    {
        m_out << texts::kPairsListed << '\n';
        for (const Pair& pair : pairs)
            m_out << "  " << side.describe(pair.local) << "  ↔  " << side.describe(pair.server) << '\n';
        m_out.flush();
        m_pairsRefused = !m_acceptPairs;
        return m_acceptPairs;
    }

    std::vector<Choice> resolve(const LocalSide&, const std::vector<Conflict>& conflicts) override
    {
        return std::vector<Choice>(conflicts.size(), Choice::Server);
    }

    bool pairsRefused() const { return m_pairsRefused; }

private:
    QTextStream& m_out;
    bool m_acceptPairs;
    bool m_pairsRefused = false;
};

} // namespace

int runSyncCommand(store::Database& database, const QString& workDir, const SyncCommand& command, QTextStream& in,
                   QTextStream& out, QTextStream& err, PasswordStore& passwords, const TransportFactory& transport,
                   const QDateTime& stamp)
{
    QString error;
    std::optional<SyncSettings> loaded = loadSyncSettings(workDir, &error);
    if (!loaded) {
        err << error << '\n';
        return 1;
    }
    SyncSettings settings = *loaded;
    if (!command.server.isEmpty()) {
        const QUrl server = QUrl::fromUserInput(command.server);
        if (server.adjusted(QUrl::StripTrailingSlash) != settings.server.adjusted(QUrl::StripTrailingSlash)) {
            settings.addressBook.clear();
            settings.addressBookName.clear();
            settings.calendar.clear();
            settings.calendarName.clear();
            settings.nameDaysCalendar.clear();
            settings.insecureAccepted = false;
        }
        settings.server = server;
    }
    if (!command.user.isEmpty())
        settings.user = command.user;
    if (!command.calendar.isEmpty())
        settings.planner = true;
    if (command.nameDays)
        settings.nameDays = true;
    if (!settings.configured()) {
        err << texts::kNotConfigured << '\n';
        return 2;
    }
    if (const QString problem = serverAddressProblem(settings.server, settings.insecureAccepted); !problem.isEmpty()) {
        err << problem << '\n';
        return 1;
    }

    QString password;
    if (command.passwordStdin) {
        password = in.readLine();
        password.remove(QLatin1Char('\r'));
    } else if (!settings.user.isEmpty()) {
        QString keyringError;
        const std::optional<QString> kept = passwords.read(passwordAccount(settings), &keyringError);
        if (!kept) {
            err << (keyringError.isEmpty() ? texts::kNoPasswordKept.arg(passwordAccount(settings)) : keyringError)
                << '\n'
                << texts::kUsePasswordStdin << '\n';
            return 1;
        }
        password = *kept;
    }

    const std::unique_ptr<Transport> link = transport(settings.user, password);
    DavClient client(*link, settings.server);
    CommandLineDecisions decisions(out, command.acceptPairs);
    try {
        const SessionResult result = runSession(database, client, settings, {command.addressBook, command.calendar},
                                                decisions, {}, stamp);
        out << summaryText(result) << '\n';
        if (!saveSyncSettings(workDir, result.settings, &error))
            err << error << '\n';
        return 0;
    } catch (const SyncError& failure) {
        err << (decisions.pairsRefused() ? texts::kPairsNotAccepted : failure.message()) << '\n';
        return 1;
    } catch (const std::exception& failure) {
        err << texts::kTableFailed.arg(QString::fromUtf8(failure.what())) << '\n';
        return 1;
    }
}

} // namespace davsync
