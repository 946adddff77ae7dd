#include "TestSupport.h"

#include "app/modProxy.h"
#include "components/ProxySettings.h"
#include "components/ProxySettingsDialog.h"
#include "components/SettingsStore.h"

#include <QApplication>
#include <QtTest>

class tst_modProxy : public QObject {
    Q_OBJECT
    TestHome m_home;
    MessageRecorder m_messages;

    // Runs the action on the proxy dialog once it is shown.
    template <typename Action> void OnDialog(Action action) {
        QTimer::singleShot(0, qApp, [action] {
            auto* dialog = qobject_cast<ProxySettingsDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            action(dialog);
        });
    }

private Q_SLOTS:
    void init() {
        QFile::remove(SettingsStore::FileName());
        m_messages.Clear();
    }

    void savedEvenWhenCancelled() {
        OnDialog([](ProxySettingsDialog* dialog) { dialog->cmdCancel->click(); });
        ShowProxySettings();
        SettingsStore store;
        QCOMPARE(store
                     .GetValue(QStringLiteral("HTTP Proxy"), QStringLiteral("Type"),
                               SettingsStore::Long, -1)
                     .toInt(),
                 0);
    }

    void editedSettingsRoundTrip() {
        OnDialog([](ProxySettingsDialog* dialog) {
            dialog->optSocks5->setChecked(true);
            dialog->txtHost->setText(QStringLiteral(" proxy.local "));
            dialog->txtPort->setText(QStringLiteral("1080"));
            dialog->txtUser->setText(QStringLiteral("me"));
            dialog->txtPassword->setText(QStringLiteral("p\u00e4ss"));
            dialog->cmdOk->click();
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
            dialog->optHttp->setChecked(true);
            dialog->txtHost->setText(host);
            dialog->txtPort->setText(port);
            dialog->cmdOk->click();
            stayedOpen = dialog->isVisible();
            dialog->cmdCancel->click();
        });
        QVERIFY(!settings.ShowDialog());
        QVERIFY(stayedOpen);
        QCOMPARE(m_messages.Texts(), QStringList{message});
        QCOMPARE(settings.Type, ProxySettings::Kind::None);
    }
};

QTEST_MAIN(tst_modProxy)
#include "tst_modProxy.moc"
