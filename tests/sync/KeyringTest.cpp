// The desktop's keyring where the session has none (a bare X server, a
// terminal login): the user is told so in Czech, and the keyring library's
// own English ("Unknown error") never reaches the message box.
#include "SyncFixture.h"

#include "sync/Passwords.h"

#include <gtest/gtest.h>

TEST(Keyring, withoutASessionKeyringTheFailureIsCzech)
{
    ensureApplication();
    const QByteArray bus = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    const std::unique_ptr<davsync::PasswordStore> keyring = davsync::makeKeyringPasswords();
    QString error;
    const bool written = keyring->write(QStringLiteral("anna@127.0.0.1:1"), QStringLiteral("heslo"), &error);
    if (!bus.isEmpty())
        qputenv("DBUS_SESSION_BUS_ADDRESS", bus);
    ASSERT_FALSE(written);
    EXPECT_TRUE(error.startsWith(QStringLiteral("Klíčenka systému heslo neuložila"))) << error.toStdString();
    EXPECT_TRUE(error.contains(QStringLiteral("neběží žádná klíčenka"))) << error.toStdString();
    EXPECT_FALSE(error.contains(QStringLiteral("error"), Qt::CaseInsensitive)) << error.toStdString();
}
