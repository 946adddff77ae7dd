#include "SessionBus.h"
#include "TestSupport.h"

#include "components/SettingsStore.h"
#include "components/modPasswordCryptor.h"
#include "store/SecretStore.h"
#include "store/modServiceSettings.h"
#include "widgets/ConnectionDialog.h"

#include <QLabel>
#include <QSettings>
#include <QStandardPaths>
#include <QtTest>

namespace {

ServiceSettings SignIn(const QString& tag) {
    ServiceSettings settings;
    settings.Service = ServiceKind::CurrentApi;
    settings.ConsumerKey = QStringLiteral("key-") + tag;
    settings.ConsumerSecret = QStringLiteral("secret-") + tag;
    settings.RedirectPort = 9123;
    settings.Tokens = {QStringLiteral("access-") + tag, QStringLiteral("refresh-") + tag,
                       QDateTime::fromSecsSinceEpoch(4102444800, Qt::UTC),
                       QStringLiteral("someone")};
    return settings;
}

QStringList Fields(const ServiceSettings& settings) {
    return {QString::number(static_cast<int>(settings.Service)),
            settings.ConsumerKey,
            settings.ConsumerSecret,
            QString::number(settings.RedirectPort),
            settings.Tokens.AccessToken,
            settings.Tokens.RefreshToken,
            settings.Tokens.Expires.toString(Qt::ISODate),
            settings.Tokens.AccountName};
}

QStringList Secrets(const ServiceSettings& settings) {
    return {settings.ConsumerSecret, settings.Tokens.AccessToken, settings.Tokens.RefreshToken};
}

// The secrets the settings file holds, as they are or scrambled, in the order of Secrets().
QStringList SecretsInFile(const ServiceSettings& settings) {
    const QSettings file(SettingsStore::FileName(), QSettings::IniFormat);
    QStringList found;
    for (const QString& secret : Secrets(settings)) {
        for (const QString& key : file.allKeys()) {
            const QString value = file.value(key).toString();
            if (value.contains(secret) || DecryptPassword(value) == secret)
                found << secret;
        }
    }
    return found;
}

bool Store(const ServiceSettings& settings) {
    return SaveServiceChoice(settings) && SaveServiceTokens(settings.Tokens);
}

QString KeptLine() {
    const ConnectionDialog dialog;
    return Control<QLabel>(dialog, "lblSecretsKept")->text();
}

} // namespace

// The fallback runs first, while the process has no bus; the keyring's tests then start one.
class tst_SecretStore : public QObject {
    Q_OBJECT
    TestHome m_home;
    PrivateSessionBus m_bus;
    QProcess m_keyring;

    // A Secret Service of the test's own, unlocked, its files in the test's home; false when
    // the test is to end, skipped or failed.
    bool KeyringReady() {
        if (m_keyring.state() == QProcess::Running)
            return true;
        const QString daemon =
            QStandardPaths::findExecutable(QStringLiteral("gnome-keyring-daemon"));
        if (daemon.isEmpty()) {
            QTest::qSkip("gnome-keyring-daemon is not installed (Debian: gnome-keyring)", __FILE__,
                         __LINE__);
            return false;
        }
        if (!m_bus.Start()) {
            QTest::qFail("dbus-daemon is needed for this test", __FILE__, __LINE__);
            return false;
        }
        // Its control socket goes to the runtime folder, which must not be the developer's.
        const QString runtime = m_home.Path() + QStringLiteral("/runtime");
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                           QFileDevice::ExeOwner);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        m_keyring.setProcessEnvironment(environment);
        m_keyring.start(daemon, {QStringLiteral("--foreground"), QStringLiteral("--unlock"),
                                 QStringLiteral("--components=secrets")});
        m_keyring.write("keyring-password");
        m_keyring.closeWriteChannel();
        QDeadlineTimer deadline(10000);
        while (!SecretStore::Available() && !deadline.hasExpired())
            QTest::qWait(50);
        if (!SecretStore::Available()) {
            const QByteArray why = "gnome-keyring-daemon did not come up on the test's bus: " +
                                   m_keyring.readAllStandardError();
            QTest::qFail(why.constData(), __FILE__, __LINE__);
            return false;
        }
        return true;
    }

private Q_SLOTS:
    void init() { QFile::remove(SettingsStore::FileName()); }

    void cleanupTestCase() {
        m_keyring.terminate();
        m_keyring.waitForFinished();
    }

    void withoutKeyringScrambledInFile() {
        const ServiceSettings signIn = SignIn(QStringLiteral("file"));
        QVERIFY(Store(signIn));
        QCOMPARE(SecretsInFile(signIn), Secrets(signIn));
        for (const QString& secret : Secrets(signIn))
            QVERIFY(!ReadFile(SettingsStore::FileName()).contains(secret.toLatin1()));
        const ServiceSettings loaded = LoadServiceSettings();
        QCOMPARE(Fields(loaded), Fields(signIn));
        QVERIFY(!loaded.SecretsInKeyring);
        QVERIFY2(KeptLine().contains(QStringLiteral("settings file")), qPrintable(KeptLine()));
    }

    void keyringKeepsSignIn() {
        if (!KeyringReady())
            return;
        const ServiceSettings signIn = SignIn(QStringLiteral("keyring"));
        QVERIFY(Store(signIn));
        QCOMPARE(SecretsInFile(signIn), QStringList());
        const ServiceSettings loaded = LoadServiceSettings();
        QCOMPARE(Fields(loaded), Fields(signIn));
        QVERIFY(loaded.SecretsInKeyring);
        QVERIFY2(KeptLine().contains(QStringLiteral("keyring")), qPrintable(KeptLine()));
        QVERIFY(SaveServiceTokens({}));
        QVERIFY(!LoadServiceSettings().Tokens.SignedIn());
        QCOMPARE(SecretStore::Read(QStringLiteral("Access Token")).value_or(QStringLiteral("none")),
                 QString());
    }

    // A settings file from before the keyring: its secrets move there at the first load.
    void migratesScrambledSecrets() {
        if (!KeyringReady())
            return;
        const ServiceSettings before = SignIn(QStringLiteral("before"));
        {
            SettingsStore file;
            file.SaveLong(QStringLiteral("Service"), 1);
            file.SaveText(QStringLiteral("Consumer Key"), before.ConsumerKey);
            file.SaveText(QStringLiteral("Consumer Secret"),
                          EncryptPassword(before.ConsumerSecret));
            file.SaveLong(QStringLiteral("Redirect Port"), before.RedirectPort);
            file.SaveText(QStringLiteral("Access Token"),
                          EncryptPassword(before.Tokens.AccessToken));
            file.SaveText(QStringLiteral("Refresh Token"),
                          EncryptPassword(before.Tokens.RefreshToken));
            file.SaveText(QStringLiteral("Token Expires"),
                          before.Tokens.Expires.toString(Qt::ISODate));
            file.SaveText(QStringLiteral("Account Name"), before.Tokens.AccountName);
        }
        QCOMPARE(SecretsInFile(before), Secrets(before));
        QCOMPARE(Fields(LoadServiceSettings()), Fields(before));
        QCOMPARE(SecretsInFile(before), QStringList());
        const ServiceSettings again = LoadServiceSettings();
        QCOMPARE(Fields(again), Fields(before));
        QVERIFY(again.SecretsInKeyring);
    }
};

QTEST_MAIN(tst_SecretStore)
#include "tst_SecretStore.moc"
