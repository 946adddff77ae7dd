#include "FakeService.h"
#include "TestSupport.h"

#include "components/SettingsStore.h"
#include "store/modAccount.h"
#include "store/modStorage.h"

#include <QDir>
#include <QJsonObject>
#include <QMap>
#include <QProcess>
#include <QRandomGenerator>
#include <QtTest>

// Send runs killed at any moment: every post is either published once, linked and gone, or
// still stored, with a marker once the service may have it.
class tst_SendInterrupted : public QObject {
    Q_OBJECT
    TestHome m_home;
    MessageRecorder m_messages;
    FakeService m_service;
    int m_randomRuns = 0;

    // The send window's run, or `marivane --send` without a display.
    void StartChild(QProcess& child, bool headless = false) {
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        if (headless) {
            child.setProcessEnvironment(WithoutDisplay());
            child.start(QStringLiteral(MARIVANE_PROGRAM), {QStringLiteral("--send")});
            QVERIFY(child.waitForStarted());
            // From its first line on, which comes after a post or at the end: a slow start (a
            // sanitizer build) must not leave every kill before the first upload.
            QVERIFY(child.waitForReadyRead(60000));
            return;
        }
        child.start(QStringLiteral(SEND_CHILD),
                    {QStringLiteral("-platform"), QStringLiteral("offscreen")});
        QVERIFY(child.waitForStarted());
        QVERIFY(child.waitForReadyRead(20000));
        QVERIFY(child.readLine().startsWith("sending"));
    }
    // SIGTERM: the headless run's stop, which may wait for the answer under way.
    static void Kill(QProcess& child, bool terminate = false) {
        if (child.state() == QProcess::NotRunning)
            return;
        if (terminate)
            child.terminate();
        else
            child.kill();
        QVERIFY(child.waitForFinished(30000));
    }
    QStringList Files() const { return m_home.DataFiles(); }
    QString PostPath(const QString& name) const {
        return m_home.DataFolder() + QLatin1Char('/') + name;
    }
    // Complete uploads the service received, by caption.
    QMap<QString, int> Published() const {
        QMap<QString, int> published;
        for (const QJsonValue& request : m_service.Requests()) {
            if (!request.toObject().value("complete").toBool())
                continue;
            for (const FakeService::Field& field : FakeService::Fields(request.toObject())) {
                if (field.Name == QStringLiteral("caption"))
                    ++published[QString::fromUtf8(field.Value)];
            }
        }
        return published;
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(m_service.Started());
        m_service.UseAsApi();
        // What the headless run sends with; the window's child types it.
        SettingsStore store(SettingsStore::Writes::OnCommit);
        SaveAccount(store, {QStringLiteral("me@example.org"), QStringLiteral("pw")});
        store.Commit();
    }
    void init() {
        QDir(m_home.DataFolder()).removeRecursively();
        m_service.Script({});
    }

    void killedDuringUpload() {
        m_service.Script({}, QJsonObject{{"mode", "slowread"}, {"chunk", 65536}, {"delay", 0.1}});
        const QByteArray picture(8 << 20, '\x89');
        const QString pictureFile = m_home.Path() + QStringLiteral("/big.png");
        WriteFile(pictureFile, picture);
        for (int i = 0; i < 3; ++i)
            QVERIFY(SavePost(NewPost(QStringLiteral("g"), QStringLiteral("c%1").arg(i),
                                     QStringLiteral("t"), pictureFile, QString())));
        const QStringList before = Files();

        QProcess child;
        StartChild(child);
        QTest::qWait(800); // well inside the first upload, which takes seconds
        QCOMPARE(child.state(), QProcess::Running);
        Kill(child);

        // Every post is whole; the first has the marker of its upload.
        QStringList expected = before;
        expected.append(QFileInfo(SendMarkerPath(PostPath(before.first()))).fileName());
        expected.sort();
        QCOMPARE(Files(), expected);
        for (const QString& name : m_home.DataFiles({"*.Info"})) {
            const Outcome<Post> post = LoadPost(PostPath(name), PostParts::WithPicture);
            QVERIFY(post);
            QCOMPARE(post->Picture, picture);
        }
        QVERIFY(m_messages.Shown().isEmpty());
        // The service drains what the kernel had buffered before it sees the break.
        QTRY_COMPARE_WITH_TIMEOUT(m_service.Requests().size(), 1, 30000);
        QVERIFY(!m_service.Requests().first().toObject().value("complete").toBool());
    }

    // The whole post reached the service, the answer never came back: the next run asks
    // instead of sending the post again.
    void killedAfterTheServiceHadThePost() {
        m_service.Script({FakeService::StalledAnswer(201, "1", 30)});
        const QString pictureFile = m_home.Path() + QStringLiteral("/small.png");
        WriteFile(pictureFile, RandomBytes(5000, 1));
        QVERIFY(SavePost(NewPost(QStringLiteral("g"), QStringLiteral("c"), QStringLiteral("t"),
                                 pictureFile, QString())));
        const QString info = PostPath(Files().first());

        QProcess child;
        StartChild(child);
        QTRY_COMPARE_WITH_TIMEOUT(Published().value(QStringLiteral("c")), 1, 10000);
        Kill(child);
        QVERIFY(QFile::exists(info));
        QVERIFY(PostSendingSince(info).has_value());

        QProcess again;
        StartChild(again);
        QVERIFY(again.waitForFinished(20000));
        QVERIFY(again.readAll().contains("message: This post may already be on your blog"));
        QCOMPARE(m_service.Requests().size(), 1);
        QVERIFY(QFile::exists(info));
    }

    void killedAtRandomMoments_data() {
        QTest::addColumn<bool>("headless");
        QTest::addColumn<bool>("terminate");
        QTest::newRow("send window") << false << false;
        QTest::newRow("--send, SIGKILL") << true << false;
        QTest::newRow("--send, SIGTERM") << true << true;
    }
    void killedAtRandomMoments() {
        QFETCH(bool, headless);
        QFETCH(bool, terminate);
        const int posts = 12;
        // Captions of their own each row: the service may still be draining an upload of the
        // row before when this one begins.
        const int first = 1000 + 100 * m_randomRuns++;
        for (int i = 0; i < posts; ++i) {
            const QString pictureFile = m_home.Path() + QStringLiteral("/p%1.png").arg(i);
            WriteFile(pictureFile, RandomBytes(200000, static_cast<quint32>(i)));
            // The caption is the id the service answers, so a number.
            QVERIFY(SavePost(NewPost(QStringLiteral("g"), QString::number(first + i),
                                     QStringLiteral("t"), pictureFile, QString())));
        }
        m_service.Script({}, QJsonObject{{"mode", "stall"},
                                         {"seconds", 0.1},
                                         {"status", 201},
                                         {"id_from_caption", true}});
        QRandomGenerator random(20261207);
        for (int run = 0; run < 24; ++run) {
            QProcess child;
            StartChild(child, headless);
            QTest::qWait(static_cast<int>(random.bounded(50, 400)));
            Kill(child, terminate);
        }

        const QMap<QString, int> published = Published();
        const QStringList links = QString::fromUtf8(ReadFile(PostPath("Links.LST")))
                                      .split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QSet<QString> stored;
        for (const QString& name : m_home.DataFiles({"*.Info"})) {
            const Outcome<Post> post = LoadPost(PostPath(name));
            QVERIFY(post);
            stored.insert(post->Caption);
            if (published.value(post->Caption) > 0)
                QVERIFY2(post->UnansweredSince.has_value(), qPrintable(post->Caption));
        }
        int gone = 0;
        for (int i = 0; i < posts; ++i) {
            const QString caption = QString::number(first + i);
            QVERIFY2(published.value(caption) <= 1, qPrintable(caption));
            if (stored.contains(caption))
                continue;
            ++gone;
            QCOMPARE(published.value(caption), 1);
            QVERIFY2(links.contains(QStringLiteral("http://g/post/") + caption),
                     qPrintable(caption));
        }
        QCOMPARE(links.size(), QSet<QString>(links.cbegin(), links.cend()).size());
        qInfo("%d of %d posts sent and gone, %lld uploads reached the service", gone, posts,
              static_cast<long long>(published.size()));
        QVERIFY(gone > 0);
    }
};

QTEST_GUILESS_MAIN(tst_SendInterrupted)
#include "tst_SendInterrupted.moc"
