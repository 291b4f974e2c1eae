#include "sync/Passwords.h"

#include "SyncTexts.h"

#include <qt6keychain/keychain.h>

#include <QEventLoop>

namespace davsync {

namespace {

const QString kService = QStringLiteral("Pelmir a telefony – synchronizace");

// The library's error texts are English; the user reads the cause in Czech.
QString causeOf(QKeychain::Error error)
{
    switch (error) {
    case QKeychain::AccessDenied:
    case QKeychain::AccessDeniedByUser:
        return texts::kKeyringDenied;
    case QKeychain::NoBackendAvailable:
    case QKeychain::NotImplemented:
        return texts::kKeyringNone;
    default:
        // Without a session bus the library reports only "Unknown error".
        return qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS") ? texts::kKeyringNone : texts::kKeyringOther;
    }
}

// Runs a keychain job to its end; the job deletes itself afterwards.
bool finish(QKeychain::Job* job, QString* error)
{
    QEventLoop loop;
    QObject::connect(job, &QKeychain::Job::finished, &loop, &QEventLoop::quit);
    job->start();
    loop.exec();
    if (job->error() == QKeychain::NoError)
        return true;
    if (error)
        *error = texts::kKeyringFailed.arg(causeOf(job->error()));
    return false;
}

class KeyringPasswords : public PasswordStore {
public:
    std::optional<QString> read(const QString& account, QString* error) override
    {
        auto* job = new QKeychain::ReadPasswordJob(kService);
        job->setKey(account);
        QString failure;
        if (!finish(job, &failure)) {
            if (job->error() != QKeychain::EntryNotFound && error)
                *error = failure;
            return std::nullopt;
        }
        return job->textData();
    }

    bool write(const QString& account, const QString& password, QString* error) override
    {
        auto* job = new QKeychain::WritePasswordJob(kService);
        job->setKey(account);
        job->setTextData(password);
        return finish(job, error);
    }

    bool remove(const QString& account, QString* error) override
    {
        auto* job = new QKeychain::DeletePasswordJob(kService);
        job->setKey(account);
        return finish(job, error) || job->error() == QKeychain::EntryNotFound;
    }
};

} // namespace

std::unique_ptr<PasswordStore> makeKeyringPasswords()
{
    return std::make_unique<KeyringPasswords>();
}

} // namespace davsync
