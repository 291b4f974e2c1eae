#pragma once

// The sync password is kept by the desktop's keyring (Secret Service, KWallet)
// through QtKeychain, never in a file. Tests use the in-memory store.

#include <QMap>
#include <QString>

#include <memory>
#include <optional>

namespace davsync {

class PasswordStore {
public:
    virtual ~PasswordStore() = default;
    // nullopt when none is kept; `error` says why when the keyring failed.
    virtual std::optional<QString> read(const QString& account, QString* error) = 0;
    virtual bool write(const QString& account, const QString& password, QString* error) = 0;
    virtual bool remove(const QString& account, QString* error) = 0;
};

// The desktop's keyring. Waits for its answer with the event loop running.
std::unique_ptr<PasswordStore> makeKeyringPasswords();

class MemoryPasswords : public PasswordStore {
public:
    std::optional<QString> read(const QString& account, QString*) override
    {
        if (!m_passwords.contains(account))
            return std::nullopt;
        return m_passwords.value(account);
    }
    bool write(const QString& account, const QString& password, QString* error) override
    {
        if (m_failure.isEmpty()) {
            m_passwords[account] = password;
            return true;
        }
        *error = m_failure;
        return false;
    }
    bool remove(const QString& account, QString*) override
    {
        m_passwords.remove(account);
        return true;
    }
    // Every write fails so, as on a desktop without a keyring.
    void failWith(const QString& error) { m_failure = error; }

private:
    QMap<QString, QString> m_passwords;
    QString m_failure;
};

} // namespace davsync
