#include "FakeService.h"
#include "TestSupport.h"

#include "app/modProxy.h"
#include "components/ProxySettings.h"
#include "components/SettingsStore.h"
#include "store/modServiceSettings.h"
#include "widgets/ProxySettingsDialog.h"

#include <QApplication>
#include <QDesktopServices>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

// The offscreen platform opens no URLs; in its place the BROWSER program gets them, as
// the desktop's own opener would hand them on.
class BrowserStandIn final : public QObject {
    Q_OBJECT
public Q_SLOTS:
    void Open(const QUrl& url) {
        QProcess::startDetached(qEnvironmentVariable("BROWSER"),
                                {QString::fromLatin1(url.toEncoded())});
    }
};

class tst_modProxy : public QObject {
    Q_OBJECT
    TestHome m_home;
    MessageRecorder m_messages;
    FakeService m_api{QStringLiteral(MARIVANE_FAKE_API)};
    BrowserStandIn m_browser;

    // Runs the action on the proxy dialog once it is shown.
    template <typename Action> void OnDialog(Action action) {
        QTimer::singleShot(0, qApp, [action] {
            auto* dialog = qobject_cast<ProxySettingsDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            action(dialog);
        });
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(m_api.Started());
        m_api.UseAsCurrentApi();
        // The desktop's usual browser setting; no desktop is detected that would override it.
        qputenv("BROWSER", MARIVANE_FAKE_BROWSER);
        for (const char* variable : {"XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION",
                                     "GNOME_DESKTOP_SESSION_ID", "DEFAULT_BROWSER"})
            qunsetenv(variable);
        QDesktopServices::setUrlHandler(QStringLiteral("http"), &m_browser, "Open");
    }
    void cleanupTestCase() { QDesktopServices::unsetUrlHandler(QStringLiteral("http")); }
    void init() {
        QFile::remove(SettingsStore::FileName());
        m_messages.Clear();
    }

    void savedEvenWhenCancelled() {
        OnDialog([](ProxySettingsDialog* dialog) {
            Control<QPushButton>(*dialog, "cmdCancel")->click();
        });
        ShowProxySettings();
        SettingsStore store;
        QCOMPARE(store
                     .GetValue(QStringLiteral("HTTP Proxy"), QStringLiteral("Type"),
                               SettingsStore::Long, -1)
                     .toInt(),
                 0);
    }

    void failedSaveShowsSettingsError() {
        // A folder where the settings file belongs: nothing can be written there. Cancel,
        // since the proxy settings are stored all the same.
        QVERIFY(QDir().mkpath(SettingsStore::FileName()));
        OnDialog([](ProxySettingsDialog* dialog) {
            Control<QPushButton>(*dialog, "cmdCancel")->click();
        });
        ShowProxySettings();
        QDir(SettingsStore::FileName()).removeRecursively();
        QCOMPARE(m_messages.Texts(), QStringList{QStringLiteral("Can't save settings.")});
        QCOMPARE(m_messages.Shown().first().icon, MsgIcon::Critical);
        QVERIFY(m_messages.Shown().first().details.contains(SettingsStore::FileName()));
    }

    void editedSettingsRoundTrip() {
        OnDialog([](ProxySettingsDialog* dialog) {
            Control<QRadioButton>(*dialog, "optSocks5")->setChecked(true);
            Control<QLineEdit>(*dialog, "txtHost")->setText(QStringLiteral(" proxy.local "));
            Control<QLineEdit>(*dialog, "txtPort")->setText(QStringLiteral("1080"));
            Control<QLineEdit>(*dialog, "txtUser")->setText(QStringLiteral("me"));
            Control<QLineEdit>(*dialog, "txtPassword")->setText(QStringLiteral("p\u00e4ss"));
            Control<QPushButton>(*dialog, "cmdOk")->click();
        });
        ShowProxySettings();
        QVERIFY(!ReadFile(SettingsStore::FileName()).contains("p\xc3\xa4ss"));
        ProxySettings loaded;
        QVERIFY(loaded.Load());
        QCOMPARE(loaded.Type, ProxySettings::Kind::Socks5);
        QCOMPARE(loaded.Host, QStringLiteral("proxy.local"));
        QCOMPARE(loaded.Port, quint16(1080));
        QCOMPARE(loaded.User, QStringLiteral("me"));
        QCOMPARE(loaded.Password, QStringLiteral("p\u00e4ss"));
        QCOMPARE(loaded.ToNetworkProxy().type(), QNetworkProxy::Socks5Proxy);
    }

    void unusableAddressRefused_data() {
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("message");
        QTest::newRow("no host") << ""
                                 << "8080"
                                 << "Enter the proxy host.";
        QTest::newRow("no port") << "h"
                                 << ""
                                 << "Enter a proxy port from 1 to 65535.";
        QTest::newRow("port too big") << "h"
                                      << "70000"
                                      << "Enter a proxy port from 1 to 65535.";
        QTest::newRow("port not a number") << "h"
                                           << "80a"
                                           << "Enter a proxy port from 1 to 65535.";
    }
    void unusableAddressRefused() {
        QFETCH(QString, host);
        QFETCH(QString, port);
        QFETCH(QString, message);
        ProxySettings settings;
        bool stayedOpen = false;
        OnDialog([&](ProxySettingsDialog* dialog) {
            Control<QRadioButton>(*dialog, "optHttp")->setChecked(true);
            Control<QLineEdit>(*dialog, "txtHost")->setText(host);
            Control<QLineEdit>(*dialog, "txtPort")->setText(port);
            Control<QPushButton>(*dialog, "cmdOk")->click();
            stayedOpen = dialog->isVisible();
            Control<QPushButton>(*dialog, "cmdCancel")->click();
        });
        QVERIFY(!EditProxySettings(settings));
        QVERIFY(stayedOpen);
        QCOMPARE(m_messages.Texts(), QStringList{message});
        QCOMPARE(settings.Type, ProxySettings::Kind::None);
    }

    void serviceChoiceKept() {
        QCOMPARE(LoadServiceSettings().Service, ServiceKind::Classic);
        OnDialog([](ProxySettingsDialog* dialog) {
            QVERIFY(Control<QRadioButton>(*dialog, "optClassic")->isChecked());
            auto* txtConsumerKey = Control<QLineEdit>(*dialog, "txtConsumerKey");
            QVERIFY(!txtConsumerKey->isEnabled());
            auto* txtRedirectPort = Control<QLineEdit>(*dialog, "txtRedirectPort");
            QCOMPARE(txtRedirectPort->text(), QStringLiteral("8765"));
            Control<QRadioButton>(*dialog, "optCurrentApi")->setChecked(true);
            txtConsumerKey->setText(QStringLiteral("app-key"));
            Control<QLineEdit>(*dialog, "txtConsumerSecret")->setText(QStringLiteral("app-secret"));
            txtRedirectPort->setText(QStringLiteral("9876"));
            QCOMPARE(Control<QLabel>(*dialog, "lblRedirectUri")->text(),
                     QStringLiteral("Redirect address: http://127.0.0.1:9876/callback"));
            Control<QPushButton>(*dialog, "cmdOk")->click();
        });
        ShowProxySettings();
        const ServiceSettings stored = LoadServiceSettings();
        QCOMPARE(stored.Service, ServiceKind::CurrentApi);
        QCOMPARE(stored.ConsumerKey, QStringLiteral("app-key"));
        QCOMPARE(stored.ConsumerSecret, QStringLiteral("app-secret"));
        QCOMPARE(stored.RedirectPort, quint16(9876));
        QVERIFY(!ReadFile(SettingsStore::FileName()).contains("app-secret"));
    }

    void signIn_data() {
        QTest::addColumn<QJsonObject>("service");
        QTest::addColumn<QString>("message"); // empty: signed in
        QTest::newRow("signed in") << QJsonObject{} << "";
        QTest::newRow("wrong state refused")
            << QJsonObject{{"bad_state", true}}
            << "Can't sign in. The answer that came back through the browser does not belong to "
               "this sign-in (its state differs), so it was refused. Sign in again.";
        QTest::newRow("wrong consumer secret")
            << QJsonObject{{"client_secret", "other"}}
            << "Can't sign in. The service refused (401): Client authentication failed";
    }
    void signIn() {
        QFETCH(QJsonObject, service);
        QFETCH(QString, message);
        service["name"] = "someone";
        m_api.Configure(service);
        m_api.Script({});
        const quint16 port = ClosedPort();
        ProxySettingsDialog dialog;
        dialog.show();
        Control<QRadioButton>(dialog, "optCurrentApi")->setChecked(true);
        Control<QLineEdit>(dialog, "txtConsumerKey")->setText(QStringLiteral("key"));
        Control<QLineEdit>(dialog, "txtConsumerSecret")->setText(QStringLiteral("secret"));
        Control<QLineEdit>(dialog, "txtRedirectPort")->setText(QString::number(port));
        auto* cmdSignIn = Control<QPushButton>(dialog, "cmdSignIn");
        QTest::mouseClick(cmdSignIn, Qt::LeftButton);
        auto* lblAccount = Control<QLabel>(dialog, "lblAccount");
        QCOMPARE(lblAccount->text(), QStringLiteral("Waiting for the browser..."));
        const ServiceTokens tokens = LoadServiceSettings().Tokens;
        if (message.isEmpty()) {
            QTRY_COMPARE(lblAccount->text(), QStringLiteral("Signed in as someone"));
            QVERIFY(m_messages.Shown().isEmpty());
            QCOMPARE(cmdSignIn->text(), QStringLiteral("Sign out"));
            const ServiceSettings stored = LoadServiceSettings();
            QVERIFY(stored.Tokens.AccessToken.startsWith(QStringLiteral("access-")));
            QVERIFY(stored.Tokens.RefreshToken.startsWith(QStringLiteral("refresh-")));
            QVERIFY(stored.Tokens.Expires > QDateTime::currentDateTimeUtc());
            QCOMPARE(stored.Tokens.AccountName, QStringLiteral("someone"));
            QCOMPARE(stored.RedirectPort, port);
            QVERIFY(!ReadFile(SettingsStore::FileName())
                         .contains(stored.Tokens.AccessToken.toLatin1()));
            const QJsonObject authorize = m_api.Requests().first().toObject();
            const QJsonObject query = authorize.value("query").toObject();
            QCOMPARE(query.value("scope").toString(), QStringLiteral("basic write offline_access"));
            QCOMPARE(query.value("redirect_uri").toString(),
                     QStringLiteral("http://127.0.0.1:%1/callback").arg(port));
            QTest::mouseClick(cmdSignIn, Qt::LeftButton);
            QVERIFY(!LoadServiceSettings().Tokens.SignedIn());
            QVERIFY(!ReadFile(SettingsStore::FileName()).contains("Access Token"));
            QCOMPARE(lblAccount->text(), QStringLiteral("Not signed in"));
        } else {
            QTRY_COMPARE(m_messages.Texts(), QStringList{message});
            QVERIFY(!LoadServiceSettings().Tokens.SignedIn());
            QCOMPARE(cmdSignIn->text(), QStringLiteral("Sign in"));
            QCOMPARE(lblAccount->text(), QStringLiteral("Not signed in"));
        }
    }
};

QTEST_MAIN(tst_modProxy)
#include "tst_modProxy.moc"
