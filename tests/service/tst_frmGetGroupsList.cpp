#include "FakeService.h"
#include "SessionBus.h"
#include "TestSupport.h"

#include "components/SettingsStore.h"
#include "service/BlogListFetch.h"
#include "service/frmGetGroupsList.h"

#include <QJsonArray>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

class tst_frmGetGroupsList : public QObject {
    Q_OBJECT
    TestHome m_home;
    MessageRecorder m_messages;
    FakeService m_service;
    FakeService m_api{QStringLiteral(MARIVANE_FAKE_API)};
    PrivateSessionBus m_bus;

    static void ShowWithAccount(frmGetGroupsList& window) {
        window.show();
        Control<QLineEdit>(window, "txtEMail")->setText(QStringLiteral("me@example.org"));
        Control<QLineEdit>(window, "txtPassword")->setText(QStringLiteral("pw"));
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(m_service.Started());
        m_service.UseAsApi();
        QVERIFY2(m_bus.Start(), "dbus-daemon is needed for this test");
        QGuiApplication::setDesktopFileName(QStringLiteral("com.velmora.Marivane"));
    }
    void init() {
        m_messages.Clear();
        m_service.Script({});
    }

    void groupsFromAnswer_data() {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QString>("groups");
        QTest::newRow("public url trimmed")
            << QByteArray("<tumblr><tumblelog title=\"Main\" type=\"public\" "
                          "url=\"http://me.tumblr.com/\"/></tumblr>")
            << "Main | me.tumblr.com";
        QTest::newRow("private in any case")
            << QByteArray("<tumblr><tumblelog title=\"Hidden\" type=\"PriVate\" "
                          "private-id=\"12345\" url=\"http://x/\"/></tumblr>")
            << "Hidden | 12345";
        QTest::newRow("bare url stays whole")
            << QByteArray("<tumblr><tumblelog title=\"T\" type=\"public\" url=\"blog.example\"/>"
                          "</tumblr>")
            << "T | blog.example";
        QTest::newRow("only one slash cut, prefix in capitals")
            << QByteArray("<tumblr><tumblelog title=\"T\" type=\"x\" url=\"HTTP://a.b//\"/>"
                          "</tumblr>")
            << "T | a.b/";
        QTest::newRow("title decoded, url not")
            << QByteArray("<tumblr><tumblelog title=\"Caf\xc3\xa9\" type=\"public\" "
                          "url=\"http://caf\xc3\xa9.example/\"/></tumblr>")
            << QStringLiteral("Caf\u00e9 | caf\u00c3\u00a9.example");
        QTest::newRow("two lines, no break after the last")
            << QByteArray("<tumblr><tumblelog title=\"A\" type=\"public\" url=\"http://a/\"/>"
                          "<tumblelog title=\"B\" type=\"private\" private-id=\"7\"/></tumblr>")
            << "A | a\r\nB | 7";
        QTest::newRow("no tumblelogs") << QByteArray("<tumblr><user/></tumblr>") << "";
    }
    void groupsFromAnswer() {
        QFETCH(QByteArray, answer);
        QFETCH(QString, groups);
        const std::optional<BlogList> parsed = TumblelogsToBlogs(answer);
        QVERIFY(parsed.has_value());
        QCOMPARE(GroupsText(*parsed), groups);
    }

    void invalidAnswers_data() {
        QTest::addColumn<QByteArray>("answer");
        QTest::newRow("broken xml") << QByteArray("<tumblr><tumblelog title=\"A\"</tumblr>");
        QTest::newRow("not xml") << QByteArray("Hello");
        QTest::newRow("missing url")
            << QByteArray("<tumblr><tumblelog title=\"A\" type=\"public\"/></tumblr>");
        QTest::newRow("missing title")
            << QByteArray("<tumblr><tumblelog type=\"public\" url=\"a\"/></tumblr>");
        QTest::newRow("private without id")
            << QByteArray("<tumblr><tumblelog title=\"A\" type=\"private\"/></tumblr>");
        QTest::newRow("empty") << QByteArray();
    }
    void invalidAnswers() {
        QFETCH(QByteArray, answer);
        QVERIFY(!TumblelogsToBlogs(answer).has_value());
    }

    void fetch_data() {
        QTest::addColumn<QJsonObject>("answer");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<QString>("groups");
        QTest::addColumn<QString>("message");
        const QString xml = "<tumblr><tumblelog title=\"A\" type=\"public\" url=\"http://a/\"/>"
                            "<tumblelog title=\"B\" type=\"public\" url=\"b\"/></tumblr>";
        QTest::newRow("ok") << FakeService::Answer(200, xml) << true << "A | a\nB | b"
                            << "";
        QTest::newRow("ok without tumblelogs")
            << FakeService::Answer(200, "<tumblr/>") << true << ""
            << "";
        QTest::newRow("201 is a failure") << FakeService::Answer(201, xml) << false << "old"
                                          << "Can't authenticate on Tumblr." + xml;
        QTest::newRow("wrong password")
            << FakeService::Answer(403, "Invalid credentials.") << false << "old"
            << "Can't authenticate on Tumblr.Invalid credentials.";
        QTest::newRow("broken xml")
            << FakeService::Answer(200, "<tumblr><tumblelog") << false << "old"
            << "XML from Tumblr recieved but it contains invalid data.";
        QTest::newRow("empty answer") << FakeService::Answer(200, "") << false << "old"
                                      << "XML from Tumblr recieved but it contains invalid data.";
    }
    void fetch() {
        QFETCH(QJsonObject, answer);
        QFETCH(bool, closes);
        QFETCH(QString, groups);
        QFETCH(QString, message);
        m_service.Script({answer});
        QPlainTextEdit editor;
        editor.setPlainText(QStringLiteral("old"));
        frmGetGroupsList window(&editor);
        Control<QLineEdit>(window, "txtEMail")->setText(QStringLiteral("me@example.org"));
        Control<QLineEdit>(window, "txtPassword")->setText(QStringLiteral("pw"));
        bool stillOpen = false; // set only when the window did not close itself
        QTimer::singleShot(0, &window, [&] {
            QTest::mouseClick(Control<QPushButton>(window, "cmdGetList"), Qt::LeftButton);
            QTimer::singleShot(50, &window, [&] {
                stillOpen = window.isVisible();
                window.reject();
            });
        });
        window.exec();
        QCOMPARE(!stillOpen, closes);
        QCOMPARE(editor.toPlainText(), groups);
        QCOMPARE(m_messages.Texts(), message.isEmpty() ? QStringList() : QStringList{message});
        const QJsonArray requests = m_service.Requests();
        QCOMPARE(requests.size(), 1);
        QCOMPARE(requests.first().toObject().value("path").toString(),
                 QStringLiteral("/api/authenticate"));
        QCOMPARE(FakeService::FieldNames(requests.first().toObject()),
                 (QStringList{"email", "password", "generator"}));
    }

    void closesItselfOnlyOnSuccess() {
        m_service.Script({FakeService::Answer(500, "down"), FakeService::Answer(200, "<tumblr/>")});
        QPlainTextEdit editor;
        frmGetGroupsList window(&editor);
        ShowWithAccount(window);
        auto* cmdGetList = Control<QPushButton>(window, "cmdGetList");
        QTest::mouseClick(cmdGetList, Qt::LeftButton);
        QTest::qWait(50);
        QVERIFY(window.isVisible());
        QTest::mouseClick(cmdGetList, Qt::LeftButton);
        QTRY_VERIFY(!window.isVisible());
    }

    void stopDuringFetchThenFetchAgain() {
        m_service.Script({QJsonObject{{"mode", "stall"}, {"seconds", 3}},
                          FakeService::Answer(200, "<tumblr/>")});
        QPlainTextEdit editor;
        editor.setPlainText(QStringLiteral("old"));
        frmGetGroupsList window(&editor);
        ShowWithAccount(window);
        bool stayedOpen = false;
        QTimer::singleShot(300, &window, [&] {
            window.close(); // refused while busy, asks to stop instead
            stayedOpen = window.isVisible();
        });
        auto* cmdGetList = Control<QPushButton>(window, "cmdGetList");
        QTest::mouseClick(cmdGetList, Qt::LeftButton);
        QVERIFY(stayedOpen);
        QCOMPARE(m_messages.Texts(), QStringList{QStringLiteral("Can't authenticate on Tumblr.")});
        QCOMPARE(editor.toPlainText(), QStringLiteral("old"));
        QVERIFY(cmdGetList->isEnabled());
        QTest::mouseClick(cmdGetList, Qt::LeftButton);
        QTRY_VERIFY(!window.isVisible());
        QCOMPARE(editor.toPlainText(), QString());
    }

    void taskBarShowsTheWait() {
        m_service.Script({QJsonObject{
            {"mode", "stall"}, {"seconds", 0.3}, {"status", 200}, {"body", "<tumblr/>"}}});
        LauncherSignals launcher(m_bus.Address());
        QVERIFY(launcher.Listening());
        QPlainTextEdit editor;
        frmGetGroupsList window(&editor);
        ShowWithAccount(window);
        QTest::mouseClick(Control<QPushButton>(window, "cmdGetList"), Qt::LeftButton);
        QTRY_VERIFY(launcher.Ended());
        QVERIFY(
            launcher.ShownInOrder(QStringLiteral("application://com.velmora.Marivane.desktop")));
        for (const LauncherSignals::Update& update : launcher.updates)
            QVERIFY(!update.countVisible);
        QVERIFY(!window.isVisible());
    }

    void accountSharedWithSendMode() {
        {
            QPlainTextEdit editor;
            frmGetGroupsList window(&editor);
            Control<QLineEdit>(window, "txtEMail")->setText(QStringLiteral("shared@example.org"));
            Control<QLineEdit>(window, "txtPassword")->setText(QStringLiteral("pw"));
            window.reject();
        }
        SettingsStore store;
        QCOMPARE(store.GetText(QStringLiteral("E-Mail")), QStringLiteral("shared@example.org"));
        QVERIFY(store.GetText(QStringLiteral("Password")).size() == 8);
        QPlainTextEdit editor;
        frmGetGroupsList window(&editor);
        QCOMPARE(Control<QLineEdit>(window, "txtPassword")->text(), QStringLiteral("pw"));
        auto* cmdGetList = Control<QPushButton>(window, "cmdGetList");
        QVERIFY(cmdGetList->isEnabled());
        Control<QLineEdit>(window, "txtPassword")->clear();
        QVERIFY(!cmdGetList->isEnabled());
    }

    void currentApiFillsBlogsPrimaryFirst() {
        QVERIFY(m_api.Started());
        m_api.Configure({{"name", "someone"},
                         {"blogs", QJsonArray{QJsonObject{{"name", "side"}, {"title", "Side"}},
                                              QJsonObject{{"name", "main"},
                                                          {"title", "Caf\u00e9"},
                                                          {"primary", true}}}}});
        StoreSignIn(m_api);
        QPlainTextEdit editor;
        editor.setPlainText(QStringLiteral("old"));
        frmGetGroupsList window(&editor);
        window.show();
        auto* txtEMail = Control<QLineEdit>(window, "txtEMail");
        QVERIFY(!txtEMail->isEnabled());
        QVERIFY(!Control<QLineEdit>(window, "txtPassword")->isEnabled());
        QCOMPARE(txtEMail->text(), QStringLiteral("someone"));
        QTest::mouseClick(Control<QPushButton>(window, "cmdGetList"), Qt::LeftButton);
        QTRY_VERIFY(!window.isVisible());
        QCOMPARE(editor.toPlainText(),
                 QStringLiteral("Caf\u00e9 | main.tumblr.com\nSide | side.tumblr.com"));
        QVERIFY(m_messages.Shown().isEmpty());
        QFile::remove(SettingsStore::FileName());
    }
};

QTEST_MAIN(tst_frmGetGroupsList)
#include "tst_frmGetGroupsList.moc"
