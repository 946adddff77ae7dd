#include "FakeService.h"
#include "TestSupport.h"

#include "app/ConnectionSettings.h"
#include "components/ProxySettings.h"
#include "components/SettingsStore.h"
#include "store/modServiceSettings.h"
#include "widgets/ConnectionDialog.h"

#include <QApplication>
#include <QDesktopServices>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

// The offscreen platform opens no URLs; in its place the BROWSER program gets them, as
// the desktop's own opener would hand them on.
namespace {

// A page as another local program would ask for it.
QByteArray HttpGet(const QUrl& url) {
    QNetworkAccessManager manager;
    manager.setProxy(QNetworkProxy::NoProxy);
    QNetworkReply* reply = manager.get(QNetworkRequest(url));
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
    const QByteArray page = reply->readAll();
    delete reply;
    return page;
}

} // namespace

class BrowserStandIn final : public QObject {
    Q_OBJECT
public:
    // A browser on another machine: the program's address is out of its reach, and the
    // user is left with the address it was sent to.
    bool Unreachable = false;
    QString Address;

    // The page the program gave the browser, once the browser is done.
    bool Done() const { return m_process.state() == QProcess::NotRunning; }
    QByteArray Page() { return m_process.readAllStandardOutput(); }

public Q_SLOTS:
    void Open(const QUrl& url) {
        const QString browser = qEnvironmentVariable("BROWSER");
        const QString page = QString::fromLatin1(url.toEncoded());
        if (!Unreachable) {
            m_process.start(browser, {page});
            return;
        }
        QProcess process;
        process.start(browser, {QStringLiteral("--print"), page});
        process.waitForFinished(20000);
        Address = QString::fromLatin1(process.readAllStandardOutput().trimmed());
    }

private:
    QProcess m_process;
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
            auto* dialog = qobject_cast<ConnectionDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            action(dialog);
        });
    }

    // A sign-in started in the dialog, to the fake current API, on a free port.
    quint16 StartSignIn(ConnectionDialog& dialog) {
        const quint16 port = ClosedPort();
        dialog.show();
        Control<QRadioButton>(dialog, "optCurrentApi")->setChecked(true);
        Control<QLineEdit>(dialog, "txtConsumerKey")->setText(QStringLiteral("key"));
        Control<QLineEdit>(dialog, "txtConsumerSecret")->setText(QStringLiteral("secret"));
        Control<QLineEdit>(dialog, "txtRedirectPort")->setText(QString::number(port));
        QTest::mouseClick(Control<QPushButton>(dialog, "cmdSignIn"), Qt::LeftButton);
        return port;
    }
    // What the fake current API refused, by the published rules; empty when nothing.
    QStringList Refused() {
        QStringList refused;
        for (const QJsonValue& request : m_api.Requests())
            if (request.toObject().contains("refused"))
                refused.append(request.toObject().value("refused").toString());
        return refused;
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
        OnDialog(
            [](ConnectionDialog* dialog) { Control<QPushButton>(*dialog, "cmdCancel")->click(); });
        OpenConnectionDialog();
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
        OnDialog(
            [](ConnectionDialog* dialog) { Control<QPushButton>(*dialog, "cmdCancel")->click(); });
        OpenConnectionDialog();
        QDir(SettingsStore::FileName()).removeRecursively();
        QCOMPARE(m_messages.Texts(), QStringList{QStringLiteral("Can't save settings.")});
        QCOMPARE(m_messages.Shown().first().icon, MsgIcon::Critical);
        QVERIFY(m_messages.Shown().first().details.contains(SettingsStore::FileName()));
    }

    void editedSettingsRoundTrip() {
        OnDialog([](ConnectionDialog* dialog) {
            Control<QRadioButton>(*dialog, "optSocks5")->setChecked(true);
            Control<QLineEdit>(*dialog, "txtHost")->setText(QStringLiteral(" proxy.local "));
            Control<QLineEdit>(*dialog, "txtPort")->setText(QStringLiteral("1080"));
            Control<QLineEdit>(*dialog, "txtUser")->setText(QStringLiteral("me"));
            Control<QLineEdit>(*dialog, "txtPassword")->setText(QStringLiteral("p\u00e4ss"));
            Control<QPushButton>(*dialog, "cmdOk")->click();
        });
        OpenConnectionDialog();
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
        QTest::newRow("port zero") << "h"
                                   << "0"
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
        OnDialog([&](ConnectionDialog* dialog) {
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
        OnDialog([](ConnectionDialog* dialog) {
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
                     QStringLiteral("Redirect address: http://localhost:9876/callback"));
            Control<QPushButton>(*dialog, "cmdOk")->click();
        });
        OpenConnectionDialog();
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
        ConnectionDialog dialog;
        const quint16 port = StartSignIn(dialog);
        auto* cmdSignIn = Control<QPushButton>(dialog, "cmdSignIn");
        auto* lblAccount = Control<QLabel>(dialog, "lblAccount");
        QCOMPARE(lblAccount->text(), QStringLiteral("Waiting for the browser..."));
        // The page claims the sign-in only once the code brought tokens.
        QTRY_VERIFY_WITH_TIMEOUT(m_browser.Done(), 20000);
        QVERIFY(m_browser.Page().contains(message.isEmpty() ? "Marivane is signed in"
                                                            : "Marivane was not signed in"));
        if (message.isEmpty()) {
            QTRY_COMPARE(lblAccount->text(), QStringLiteral("Signed in as someone"));
            QVERIFY(m_messages.Shown().isEmpty());
            QCOMPARE(Refused(), QStringList());
            QCOMPARE(cmdSignIn->text(), QStringLiteral("Sign out"));
            const ServiceSettings stored = LoadServiceSettings();
            QVERIFY(stored.Tokens.AccessToken.startsWith(QStringLiteral("access-")));
            QVERIFY(stored.Tokens.RefreshToken.startsWith(QStringLiteral("refresh-")));
            QVERIFY(stored.Tokens.Expires > QDateTime::currentDateTimeUtc());
            QCOMPARE(stored.Tokens.AccountName, QStringLiteral("someone"));
            QCOMPARE(stored.RedirectPort, port);
            QVERIFY(!ReadFile(SettingsStore::FileName())
                         .contains(stored.Tokens.AccessToken.toLatin1()));
            const QJsonObject query = m_api.Requests().first().toObject().value("query").toObject();
            QCOMPARE(query.value("scope").toString(), QStringLiteral("basic write offline_access"));
            QCOMPARE(query.value("redirect_uri").toString(),
                     QStringLiteral("http://localhost:%1/callback").arg(port));
            QVERIFY(query.value("state").toString().size() >= 40);
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

    // The browser cannot reach the program: answers of another sign-in, through either
    // loopback address or pasted, are turned away and the sign-in waits on; the pasted
    // address of this one signs in.
    void pastedAddressAndForeignAnswers() {
        m_api.Configure({{"name", "someone"}});
        m_api.Script({});
        m_browser.Unreachable = true;
        ConnectionDialog dialog;
        const quint16 port = StartSignIn(dialog);
        m_browser.Unreachable = false;
        const QString address = m_browser.Address;
        QVERIFY2(address.startsWith(QStringLiteral("http://localhost:%1/callback?").arg(port)),
                 qPrintable(address));
        QString foreign = address;
        foreign.replace(QStringLiteral("state="), QStringLiteral("state=x"));
        for (const QString& host : {QStringLiteral("127.0.0.1"), QStringLiteral("[::1]")}) {
            QString other = foreign;
            other.replace(QStringLiteral("localhost"), host);
            const QByteArray page = HttpGet(QUrl(other));
            QVERIFY2(page.contains("does not belong to the sign-in under way"), page.constData());
        }
        // A request longer than a browser's is closed unanswered, and changes nothing.
        QVERIFY(HttpGet(QUrl(address + QStringLiteral("&pad=") + QString(9000, u'a'))).isEmpty());
        auto* txtPastedAddress = Control<QLineEdit>(dialog, "txtPastedAddress");
        txtPastedAddress->setText(foreign);
        QTest::mouseClick(Control<QPushButton>(dialog, "cmdUsePastedAddress"), Qt::LeftButton);
        QCOMPARE(m_messages.Texts().size(), 1);
        QVERIFY(m_messages.Texts().first().startsWith(
            QStringLiteral("This answer does not belong to the sign-in under way")));
        auto* lblAccount = Control<QLabel>(dialog, "lblAccount");
        QCOMPARE(lblAccount->text(), QStringLiteral("Waiting for the browser..."));
        txtPastedAddress->setText(address);
        QTest::keyClick(txtPastedAddress, Qt::Key_Return);
        QTRY_COMPARE(lblAccount->text(), QStringLiteral("Signed in as someone"));
        QVERIFY(dialog.isVisible()); // Enter took the address, not "Ok"
        QCOMPARE(m_messages.Texts().size(), 1);
        QCOMPARE(Refused(), QStringList());
        QVERIFY(LoadServiceSettings().Tokens.SignedIn());
    }
};

QTEST_MAIN(tst_modProxy)
#include "tst_modProxy.moc"
