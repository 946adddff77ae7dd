#include "FakeService.h"
#include "TestSupport.h"

#include "components/Settings.h"
#include "components/SettingsStore.h"
#include "store/SendLock.h"
#include "store/modAccount.h"
#include "store/modServiceSettings.h"
#include "store/modStorage.h"

#include <QJsonArray>
#include <QProcess>
#include <QtTest>

namespace {

QJsonObject ApiCreated() {
    return QJsonObject{{"status", 201},
                       {"body", QJsonObject{{"meta", QJsonObject{{"status", 201}}},
                                            {"response", QJsonObject{{"id", "1"}}}}}};
}

QJsonObject ApiRefusal(int status, int code) {
    const QJsonObject body{
        {"meta", QJsonObject{{"status", status}, {"msg", "Refused"}}},
        {"errors", QJsonArray{QJsonObject{{"title", "Forbidden"}, {"code", code}}}}};
    return QJsonObject{{"status", status}, {"body", body}};
}

struct SendRun {
    int Status = -1;
    QStringList Out;
    QString Err;
};

} // namespace

// `marivane --send`, the real program without a display, against the stand-ins of both
// interfaces.
class tst_HeadlessSend : public QObject {
    Q_OBJECT
    TestHome m_home;
    FakeService m_service;
    FakeService m_api{QStringLiteral(MARIVANE_FAKE_API)};

    // Posts to the blog the current API knows, oldest first; their names as --send prints them.
    QStringList StorePosts(int count) {
        const QString pictureFile = m_home.Path() + QStringLiteral("/p.png");
        WriteFile(pictureFile,
                  QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) + RandomBytes(900, 3));
        for (int i = 0; i < count; ++i)
            SavePost(NewPost(QStringLiteral("me.tumblr.com"), QStringLiteral("c%1").arg(i),
                             QStringLiteral("t"), pictureFile));
        QStringList names;
        for (const QString& name : m_home.DataFiles({"*.Info"}))
            names.append(QFileInfo(name).completeBaseName());
        return names;
    }
    static void UseClassic(const QString& email = QStringLiteral("me@example.org")) {
        SettingsStore store(SettingsStore::Writes::OnCommit);
        SaveAccount(store, {email, QStringLiteral("pw")});
        Settings::LastStateIndex.Save(store, 3);
        store.Commit();
    }
    void UseCurrentApi() {
        UseClassic();
        StoreSignIn(m_api);
    }
    static SendRun Send(const QStringList& arguments = {}) {
        QProcess program;
        program.setProcessEnvironment(WithoutDisplay());
        program.start(QStringLiteral(MARIVANE_PROGRAM),
                      QStringList{QStringLiteral("--send")} + arguments);
        SendRun run;
        if (!program.waitForFinished(60000) || program.exitStatus() != QProcess::NormalExit)
            return run;
        run.Status = program.exitCode();
        run.Out = QString::fromUtf8(program.readAllStandardOutput())
                      .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        run.Err = QString::fromUtf8(program.readAllStandardError());
        return run;
    }
    QStringList Links() const {
        return QString::fromUtf8(ReadFile(m_home.DataFolder() + QStringLiteral("/Links.LST")))
            .split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(m_service.Started());
        QVERIFY(m_api.Started());
        m_service.UseAsApi();
        m_api.UseAsCurrentApi();
    }
    void init() {
        QDir(m_home.DataFolder()).removeRecursively();
        QFile::remove(SettingsStore::FileName());
        m_service.Script({});
        m_api.Configure({});
        m_api.Script({}, ApiCreated());
    }

    void allSent_data() {
        QTest::addColumn<bool>("currentApi");
        QTest::newRow("classic") << false;
        QTest::newRow("current API") << true;
    }
    void allSent() {
        QFETCH(bool, currentApi);
        if (currentApi)
            UseCurrentApi();
        else
            UseClassic();
        const QStringList posts = StorePosts(2);
        const SendRun run = Send();
        QCOMPARE(run.Status, 0);
        const QString link = QStringLiteral("http://me.tumblr.com/post/1");
        QCOMPARE(run.Out, (QStringList{QStringLiteral("sent ") + posts[0] + ' ' + link,
                                       QStringLiteral("sent ") + posts[1] + ' ' + link,
                                       QStringLiteral("2 sent, 0 kept")}));
        QCOMPARE(Links(), (QStringList{link, link}));
        QVERIFY(m_home.DataFiles({"*.Info", "*.Picture"}).isEmpty());
        // The saved account and state reach the service.
        const QJsonArray requests = (currentApi ? m_api : m_service).Requests();
        if (!currentApi) {
            const QList<FakeService::Field> fields =
                FakeService::Fields(requests.first().toObject());
            QCOMPARE(fields.first().Value, QByteArray("me@example.org"));
            QVERIFY(std::any_of(fields.cbegin(), fields.cend(), [](const FakeService::Field& f) {
                return f.Name == QStringLiteral("state") && f.Value == "draft";
            }));
        }
    }

    void refusalKept_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("quiet");
        QTest::newRow("every line") << QStringList{} << false;
        QTest::newRow("--quiet") << QStringList{QStringLiteral("--quiet")} << true;
    }
    void refusalKept() {
        QFETCH(QStringList, arguments);
        QFETCH(bool, quiet);
        UseClassic();
        const QStringList posts = StorePosts(3);
        m_service.Script({FakeService::Answer(201, "7"), FakeService::Answer(400, "No such blog")});
        const SendRun run = Send(arguments);
        QCOMPARE(run.Status, 1);
        QStringList expected{
            QStringLiteral("sent ") + posts[0] + QStringLiteral(" http://me.tumblr.com/post/7"),
            QStringLiteral("kept ") + posts[1] +
                QStringLiteral(": Can't send post. No such blog (HTTP status 400)"),
            QStringLiteral("kept ") + posts[2] +
                QStringLiteral(": not tried after the post before was refused"),
            QStringLiteral("1 sent, 2 kept")};
        if (quiet)
            expected = expected.mid(1, 2);
        QCOMPARE(run.Out, expected);
        QCOMPARE(m_home.DataFiles({"*.Info"}).size(), 2);
    }

    void dailyLimit() {
        UseCurrentApi();
        const QStringList posts = StorePosts(4);
        m_api.Script({ApiCreated(), ApiCreated(), ApiRefusal(403, 8023)}, ApiCreated());
        const SendRun run = Send();
        QCOMPARE(run.Status, 1);
        QCOMPARE(run.Out.size(), 5);
        QCOMPARE(run.Out[2], QStringLiteral("kept ") + posts[2] +
                                 QStringLiteral(": The blog's daily posting limit has been "
                                                "reached. Posts sent in this run: 2. The other "
                                                "posts stay in the data folder; send them once "
                                                "the limit has passed."));
        QCOMPARE(run.Out[4], QStringLiteral("2 sent, 2 kept"));
        QCOMPARE(m_home.DataFiles({"*.Info"}).size(), 2);
    }

    // Nothing could be tried: status 3, no upload, every post as it was.
    void nothingTried_data() {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<QString>("why");
        QTest::newRow("no account") << "none"
                                    << "No account";
        QTest::newRow("not signed in") << "signed out"
                                       << "Not signed in to the current API";
        QTest::newRow("folder locked") << "locked"
                                       << "Another copy of the program is sending";
        QTest::newRow("sign-in refused") << "renewal refused"
                                         << "Can't send post. The sign-in could not be renewed.";
    }
    void nothingTried() {
        QFETCH(QString, setting);
        QFETCH(QString, why);
        SendLock lock;
        if (setting == QStringLiteral("locked")) {
            UseClassic();
            QVERIFY(lock.TryLock(GetDataPath()));
        } else if (setting == QStringLiteral("signed out")) {
            UseCurrentApi();
            SaveServiceTokens({});
        } else if (setting == QStringLiteral("renewal refused")) {
            UseClassic();
            StoreSignIn(m_api, -3600);
            m_api.Configure({{"client_secret", "another"}});
        }
        StorePosts(2);
        const QStringList before = m_home.DataFiles();
        const SendRun run = Send();
        QCOMPARE(run.Status, 3);
        QVERIFY2(run.Err.startsWith(QStringLiteral("marivane: ") + why), qPrintable(run.Err));
        QCOMPARE(m_home.DataFiles(), before);
        QVERIFY(m_service.Requests().isEmpty());
        for (const QJsonValue& request : m_api.Requests())
            QVERIFY(!request.toObject().value("path").toString().startsWith("/v2/blog/"));
    }

    void unansweredPost_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("uploads");
        QTest::newRow("skipped") << QStringList{} << 1 << 1;
        QTest::newRow("--resend-unanswered")
            << QStringList{QStringLiteral("--resend-unanswered")} << 0 << 2;
    }
    void unansweredPost() {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(int, uploads);
        UseClassic();
        const QStringList posts = StorePosts(2);
        MarkPostSending(m_home.DataFolder() + QLatin1Char('/') + posts[0] +
                        QStringLiteral(".Info"));
        const SendRun run = Send(arguments);
        QCOMPARE(run.Status, status);
        QCOMPARE(m_service.Requests().size(), uploads);
        if (uploads == 1)
            QVERIFY2(run.Out.first().startsWith(QStringLiteral("kept ") + posts[0] +
                                                QStringLiteral(": its last upload ended without "
                                                               "an answer")),
                     qPrintable(run.Out.first()));
        QCOMPARE(m_home.DataFiles({"*.Info"}).size(), 2 - uploads);
    }

    // A first SIGTERM after the whole post went out waits for the answer; a second gives it
    // up at once and keeps the post, with its marker.
    void secondStopGivesUpTheAnswer() {
        UseClassic();
        const QStringList posts = StorePosts(2);
        m_service.Script({FakeService::StalledAnswer(201, "1", 30)});
        QProcess program;
        program.setProcessEnvironment(WithoutDisplay());
        program.start(QStringLiteral(MARIVANE_PROGRAM), {QStringLiteral("--send")});
        QTRY_COMPARE_WITH_TIMEOUT(m_service.Requests().size(), 1, 20000);
        QTRY_VERIFY(m_service.Requests().first().toObject().value("complete").toBool());
        program.terminate();
        QVERIFY(!program.waitForFinished(1500));
        program.terminate();
        QVERIFY(program.waitForFinished(5000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 1);
        const QStringList out = QString::fromUtf8(program.readAllStandardOutput())
                                    .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(out.size(), 3);
        QVERIFY(out[0].startsWith(QStringLiteral("kept ") + posts[0] + QStringLiteral(": ")));
        QCOMPARE(out[1], QStringLiteral("kept ") + posts[1] +
                             QStringLiteral(": not tried, the run was stopped"));
        const QString info = m_home.DataFolder() + QLatin1Char('/') + posts[0] + ".Info";
        QVERIFY(PostSendingSince(info).has_value());
        QCOMPARE(m_service.Requests().size(), 1);
    }
};

QTEST_GUILESS_MAIN(tst_HeadlessSend)
#include "tst_HeadlessSend.moc"
