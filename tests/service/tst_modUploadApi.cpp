#include "FakeService.h"
#include "TestSupport.h"

#include "components/ComponentError.h"
#include "components/ProxySettings.h"
#include "components/SettingsStore.h"
#include "service/modApiHost.h"
#include "service/modUploadApi.h"
#include "store/modServiceSettings.h"
#include "store/modStorage.h"

#include <QDir>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QtTest>

namespace {

// A PNG's signature and a little more: enough for its type to be told from its bytes.
QByteArray PngBytes() {
    QByteArray data("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
    for (int value = 0; value < 256; ++value)
        data.append(static_cast<char>(value));
    return data;
}

Post FilePost() {
    Post post;
    post.Group = QStringLiteral("me.tumblr.com");
    post.Caption = QStringLiteral("Caf\u00e9\r\nline two");
    post.Tags = QStringLiteral("sea, sun");
    post.Picture = PngBytes();
    return post;
}

QJsonObject Answer(int status, const QJsonObject& body) {
    return QJsonObject{{"status", status}, {"body", body}};
}

QJsonObject Refusal(int status, int code, const QString& title, const QString& detail = {}) {
    QJsonObject error{{"title", title}, {"code", code}};
    if (!detail.isEmpty())
        error["detail"] = detail;
    return Answer(status, {{"meta", QJsonObject{{"status", status}, {"msg", "Refused"}}},
                           {"errors", QJsonArray{error}}});
}

} // namespace

class tst_modUploadApi : public QObject {
    Q_OBJECT
    TestHome m_home;
    MessageRecorder m_messages;
    FakeService m_api{QStringLiteral(MARIVANE_FAKE_API)};

    QJsonArray Requests(const QString& path) {
        QJsonArray found;
        for (const QJsonValue& request : m_api.Requests())
            if (request.toObject().value("path").toString().startsWith(path))
                found.append(request);
        return found;
    }
    QJsonArray Posts() { return Requests(QStringLiteral("/v2/blog/")); }
    QByteArray Links() { return ReadFile(m_home.DataFolder() + QStringLiteral("/Links.LST")); }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(m_api.Started());
        GetDataPath();
    }
    void init() {
        QFile::remove(SettingsStore::FileName());
        QFile::remove(m_home.DataFolder() + QStringLiteral("/Links.LST"));
        m_api.Configure({});
        StoreSignIn(m_api);
        m_api.Script({});
        m_messages.Clear();
    }

    void filePostPerState_data() {
        QTest::addColumn<int>("stateCode");
        QTest::addColumn<QString>("state"); // empty: no "state" at all
        QTest::addColumn<bool>("publishOn");
        QTest::newRow("publish now") << 0 << "published" << false;
        QTest::newRow("add to queue") << 1 << "queue" << false;
        QTest::newRow("publish on") << 2 << "queue" << true;
        QTest::newRow("save as draft") << 3 << "draft" << false;
        QTest::newRow("make submission") << 4 << "unapproved" << false;
        QTest::newRow("private") << 5 << "private" << false;
    }
    void filePostPerState() {
        QFETCH(int, stateCode);
        QFETCH(QString, state);
        QFETCH(bool, publishOn);
        m_api.Script({Answer(201, {{"response", QJsonObject{{"id", "1234567891234567"}}}})});
        const UploadOutcome outcome = Shown(SendPostToApi(
            FilePost(), PostStateAt(stateCode), QStringLiteral("2030-05-01T10:00:00Z"), nullptr));
        QCOMPARE(outcome.Outcome, UploadOutcome::Result::Accepted);
        QVERIFY(m_messages.Shown().isEmpty());
        QCOMPARE(Links(), QByteArray("http://me.tumblr.com/post/1234567891234567\r\n"));

        const QJsonArray posts = Posts();
        QCOMPARE(posts.size(), 1);
        const QJsonObject request = posts.first().toObject();
        QCOMPARE(request.value("blog").toString(), QStringLiteral("me.tumblr.com"));
        const QJsonObject headers = request.value("headers").toObject();
        QCOMPARE(headers.value("authorization").toString(),
                 QStringLiteral("Bearer ") + LoadServiceSettings().Tokens.AccessToken);
        QVERIFY(headers.value("user-agent").toString().startsWith(QStringLiteral("Marivane/")));
        const QList<FakeService::Field> fields = FakeService::Fields(request);
        QCOMPARE(fields.size(), 2);
        QCOMPARE(fields.at(0).Name, QStringLiteral("json"));
        QCOMPARE(fields.at(1).Name, QStringLiteral("picture"));
        QCOMPARE(fields.at(1).FileName, QStringLiteral("picture.png"));
        QCOMPARE(fields.at(1).Value, PngBytes());

        const QJsonObject json = QJsonDocument::fromJson(fields.at(0).Value).object();
        const QJsonArray content = json.value("content").toArray();
        QCOMPARE(content.size(), 3); // the picture, then a text block for each line
        const QJsonObject media =
            content.at(0).toObject().value("media").toArray().first().toObject();
        QCOMPARE(content.at(0).toObject().value("type").toString(), QStringLiteral("image"));
        QCOMPARE(media.value("identifier").toString(), QStringLiteral("picture"));
        QCOMPARE(media.value("type").toString(), QStringLiteral("image/png"));
        QCOMPARE(content.at(1).toObject(),
                 (QJsonObject{{"type", "text"}, {"text", QStringLiteral("Caf\u00e9")}}));
        QCOMPARE(content.at(2).toObject(), (QJsonObject{{"type", "text"}, {"text", "line two"}}));
        QCOMPARE(json.value("tags").toString(), QStringLiteral("sea,sun"));
        QCOMPARE(json.value("state").toString(), state);
        QCOMPARE(json.contains("state"), !state.isEmpty());
        QCOMPARE(json.value("publish_on").toString(),
                 publishOn ? QStringLiteral("2030-05-01T10:00:00Z") : QString());
        QCOMPARE(json.contains("publish_on"), publishOn);
    }

    void urlPostSendsTheUrlAsMedia() {
        Post post = FilePost();
        post.PictureURL = QStringLiteral("http://pics.example/a.jpg");
        post.Caption.clear();
        QCOMPARE(Shown(SendPostToApi(post, PostState::PublishNow, {}, nullptr)).Outcome,
                 UploadOutcome::Result::Accepted);
        const QJsonObject request = Posts().first().toObject();
        QVERIFY(FakeService::Fields(request).isEmpty());
        const QJsonObject json =
            QJsonDocument::fromJson(request.value("json").toString().toUtf8()).object();
        const QJsonArray content = json.value("content").toArray();
        QCOMPARE(content.size(), 1); // no caption, no text block
        const QJsonArray media = content.at(0).toObject().value("media").toArray();
        QCOMPARE(media.size(), 1);
        QCOMPARE(media.first().toObject(), (QJsonObject{{"url", "http://pics.example/a.jpg"}}));
    }

    void refusals_data() {
        QTest::addColumn<QJsonObject>("answer");
        QTest::addColumn<QString>("message");
        QTest::newRow("errors array, detail first")
            << Refusal(400, 8001, "Bad Request", "'content' must be an array")
            << "Can't send post. 'content' must be an array";
        QTest::newRow("title when no detail") << Refusal(400, 8005, "Media format not accepted")
                                              << "Can't send post. Media format not accepted";
        QTest::newRow("403 that is no limit")
            << Refusal(403, 8008, "Forbidden", "No video in reblogs")
            << "Can't send post. No video in reblogs";
        QTest::newRow("not JSON") << QJsonObject{{"status", 500}, {"body", "<html>\r\n</html>"}}
                                  << "Can't send post. ";
    }
    void refusals() {
        QFETCH(QJsonObject, answer);
        QFETCH(QString, message);
        m_api.Script({answer});
        QCOMPARE(Shown(SendPostToApi(FilePost(), PostState::PublishNow, {}, nullptr)).Outcome,
                 UploadOutcome::Result::Refused);
        QCOMPARE(m_messages.Texts(), QStringList{message});
        QCOMPARE(m_messages.Shown().first().details,
                 QStringLiteral("HTTP status %1").arg(answer.value("status").toInt()));
        QCOMPARE(Posts().size(), 1);
        QCOMPARE(Links(), QByteArray());
    }

    void limits_data() {
        QTest::addColumn<QJsonObject>("answer");
        QTest::addColumn<QString>("limit");
        QTest::newRow("429") << Answer(429, {{"meta", QJsonObject{{"status", 429}}}})
                             << "The service's limit of requests has been reached (too many "
                                "requests).";
        QTest::newRow("403 8023") << Refusal(403, 8023, "Forbidden")
                                  << "The blog's daily posting limit has been reached.";
        QTest::newRow("403 8004") << Refusal(403, 8004, "Forbidden")
                                  << "The day's limit of picture uploads has been reached.";
        QTest::newRow("403 8022")
            << Refusal(403, 8022, "Forbidden")
            << "The blog's queue is full: its limit of queued posts has been reached.";
        QTest::newRow("429 daily posts, in words")
            << Refusal(429, 0, "Limit Exceeded", "You've exceeded your daily post limit.")
            << "The blog's daily posting limit has been reached.";
        QTest::newRow("429 daily pictures, in words")
            << Refusal(429, 0, "Limit Exceeded", "You've exceeded your daily photo upload limit.")
            << "The day's limit of picture uploads has been reached.";
        QJsonObject spentDay = Refusal(429, 0, "Limit Exceeded");
        spentDay["headers"] = QJsonObject{{"X-Ratelimit-Perday-Limit", "5000"},
                                          {"X-Ratelimit-Perday-Remaining", "0"},
                                          {"X-Ratelimit-Perday-Reset", "7260"}};
        QTest::newRow("429 the application's day, from the headers")
            << spentDay
            << "The application's limit of requests to the service has been reached (5000 a "
               "day). It resets in about 2 h 1 min (at ";
    }
    void limits() {
        QFETCH(QJsonObject, answer);
        QFETCH(QString, limit);
        m_api.Script({answer});
        const UploadOutcome outcome =
            Shown(SendPostToApi(FilePost(), PostState::PublishNow, {}, nullptr));
        QCOMPARE(outcome.Outcome, UploadOutcome::Result::LimitReached);
        QVERIFY2(outcome.Limit.startsWith(limit), qPrintable(outcome.Limit));
        QVERIFY(m_messages.Shown().isEmpty());
        QCOMPARE(Posts().size(), 1);
    }

    void tokenRenewal_data() {
        QTest::addColumn<bool>("storedExpiryPassed");
        QTest::addColumn<bool>("serviceRefusesToken");
        QTest::addColumn<QString>("secret");
        QTest::addColumn<int>("uploads");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("refused token renewed, upload repeated once")
            << false << true << "secret" << 2 << true;
        QTest::newRow("expired by its date, renewed before the upload")
            << true << false << "secret" << 1 << true;
        QTest::newRow("renewal refused: no upload, sign in again")
            << true << false << "wrong" << 0 << false;
        QTest::newRow("refused after renewal too: asked once more only")
            << false << true << "secret" << 2 << false;
    }
    void tokenRenewal() {
        QFETCH(bool, storedExpiryPassed);
        QFETCH(bool, serviceRefusesToken);
        QFETCH(QString, secret);
        QFETCH(int, uploads);
        QFETCH(bool, accepted);
        StoreSignIn(m_api, storedExpiryPassed ? -10 : 3600);
        ServiceSettings stored = LoadServiceSettings();
        stored.ConsumerSecret = secret;
        QVERIFY(SaveServiceChoice(stored));
        if (serviceRefusesToken)
            m_api.ExpireTokens();
        const bool refusedTwice = serviceRefusesToken && !accepted;
        m_api.Script(refusedTwice ? QJsonArray{Answer(401, {})} : QJsonArray{});

        const UploadOutcome outcome =
            Shown(SendPostToApi(FilePost(), PostState::PublishNow, {}, nullptr));
        QCOMPARE(outcome.Outcome,
                 accepted ? UploadOutcome::Result::Accepted : UploadOutcome::Result::Refused);
        const QJsonArray posts = Posts();
        QCOMPARE(posts.size(), uploads);
        QCOMPARE(Requests(QStringLiteral("/v2/oauth2/token")).size(), 1);
        const QString renewed = LoadServiceSettings().Tokens.AccessToken;
        if (secret == QStringLiteral("secret")) {
            QVERIFY(renewed != stored.Tokens.AccessToken);
            QCOMPARE(posts.last().toObject().value("headers").toObject().value("authorization"),
                     QJsonValue(QStringLiteral("Bearer ") + renewed));
        }
        if (accepted) {
            QVERIFY(m_messages.Shown().isEmpty());
        } else {
            QCOMPARE(m_messages.Texts().size(), 1);
            QVERIFY(m_messages.Texts().first().startsWith(QStringLiteral("Can't send post. ")));
            QVERIFY(m_messages.Texts().first().contains(QStringLiteral("Sign in again")));
        }
    }

    void blogNotAddressableSendsNothing_data() {
        QTest::addColumn<QString>("group");
        QTest::addColumn<QString>("message");
        QTest::newRow("no group") << ""
                                  << "The post has no group";
        QTest::newRow("classic private blog number")
            << "123456789"
            << "The blog \"123456789\" is the number the classic interface";
    }
    void blogNotAddressableSendsNothing() {
        QFETCH(QString, group);
        QFETCH(QString, message);
        Post post = FilePost();
        post.Group = group;
        QCOMPARE(Shown(SendPostToApi(post, PostState::PublishNow, {}, nullptr)).Outcome,
                 UploadOutcome::Result::Refused);
        QCOMPARE(m_messages.Texts().size(), 1);
        QVERIFY2(m_messages.Texts().first().contains(message),
                 qPrintable(m_messages.Texts().first()));
        QVERIFY(Posts().isEmpty());
    }

    // The service has retired the old refresh token: new tokens that can't be kept end the
    // run before anything is sent, with the settings' own message.
    void renewedTokensThatCannotBeSavedSendNothing() {
        StoreSignIn(m_api, -10);
        m_api.Configure({{"plant_dir_on_refresh", SettingsStore::FileName()}});
        const UploadOutcome outcome =
            Shown(SendPostToApi(FilePost(), PostState::PublishNow, {}, nullptr));
        QDir(SettingsStore::FileName()).removeRecursively();
        QCOMPARE(outcome.Outcome, UploadOutcome::Result::Refused);
        QCOMPARE(m_messages.Texts(), QStringList{QStringLiteral("Can't save settings.")});
        QVERIFY(m_messages.Shown().first().details.contains(QStringLiteral("Sign in again")));
        QCOMPARE(Requests(QStringLiteral("/v2/oauth2/token")).size(), 1);
        QVERIFY(Posts().isEmpty());
    }

    // Whoever answers gets only what an answer can need: a body past the cap or a trickle
    // past the deadline is no answer, and a 201 without an id makes no link.
    void hostileAnswers_data() {
        QTest::addColumn<QJsonObject>("answer");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<int>("withinMs"); // read whole, the flood took many seconds
        QTest::newRow("huge body") << QJsonObject{{"mode", "huge"}} << false << 10000;
        QTest::newRow("trickle") << QJsonObject{{"mode", "trickle"}, {"size", 50}, {"delay", 0.2}}
                                 << false << 4000;
        QTest::newRow("201 without an id")
            << Answer(201, {{"response", QJsonObject{}}}) << true << 4000;
    }
    void hostileAnswers() {
        QFETCH(QJsonObject, answer);
        QFETCH(bool, accepted);
        QFETCH(int, withinMs);
        m_api.Script({answer});
        Post post = FilePost();
        post.Base = m_home.DataFolder() + QStringLiteral("/post");
        WriteFile(post.InfoPath(), "g\r\nt\r\nc");
        QElapsedTimer timer;
        timer.start();
        const UploadOutcome outcome =
            Shown(SendPostToApi(post, PostState::PublishNow, {}, nullptr, 1000));
        QVERIFY(timer.elapsed() < withinMs);
        QCOMPARE(outcome.Outcome == UploadOutcome::Result::Accepted, accepted);
        QVERIFY(!outcome.Linked());
        QCOMPARE(Links(), QByteArray());
        // Unanswered, the marker stays; accepted, it goes with the post.
        QVERIFY(PostSendingSince(post.InfoPath()).has_value());
        QFile::remove(SendMarkerPath(post.InfoPath()));
    }

    void blogNameEncodedOnce() {
        Post post = FilePost();
        post.Group = QStringLiteral("me:blog.example");
        QCOMPARE(Shown(SendPostToApi(post, PostState::PublishNow, {}, nullptr)).Outcome,
                 UploadOutcome::Result::Accepted);
        QCOMPARE(Posts().first().toObject().value("blog").toString(), post.Group);
    }

    // A renewal that got no answer is no reason to sign in again.
    void renewalWithoutAnswerSaysSo() {
        StoreSignIn(m_api, -10);
        const QByteArray kept = qgetenv("MARIVANE_API_BASE");
        qputenv("MARIVANE_API_BASE", "http://127.0.0.1:" + QByteArray::number(ClosedPort()));
        const UploadOutcome outcome =
            Shown(SendPostToApi(FilePost(), PostState::PublishNow, {}, nullptr));
        qputenv("MARIVANE_API_BASE", kept);
        QCOMPARE(outcome.Outcome, UploadOutcome::Result::Refused);
        QCOMPARE(m_messages.Texts().size(), 1);
        QVERIFY2(m_messages.Texts().first().contains(QStringLiteral("did not answer")) &&
                     !m_messages.Texts().first().contains(QStringLiteral("Sign in again")),
                 qPrintable(m_messages.Texts().first()));
    }

    // Every block within the published limit, every character sent in order.
    void longCaptionWithinTheLimits() {
        Post post = FilePost();
        post.Caption = QStringLiteral("word ").repeated(1000);
        QCOMPARE(Shown(SendPostToApi(post, PostState::PublishNow, {}, nullptr)).Outcome,
                 UploadOutcome::Result::Accepted);
        const QJsonObject json =
            QJsonDocument::fromJson(FakeService::Fields(Posts().first().toObject()).first().Value)
                .object();
        QString sent;
        for (const QJsonValue& block : json.value("content").toArray()) {
            const QString text = block.toObject().value("text").toString();
            QVERIFY(text.size() <= 4096);
            sent += text;
        }
        QCOMPARE(sent, post.Caption);
    }

    void serviceAddress_data() {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<QString>("base"); // empty: refused
        QTest::newRow("unset") << QByteArray() << "https://api.tumblr.com";
        QTest::newRow("https anywhere")
            << QByteArray("https://api.example:8443") << "https://api.example:8443";
        QTest::newRow("http on loopback")
            << QByteArray("http://127.0.0.1:9/") << "http://127.0.0.1:9";
        QTest::newRow("http elsewhere") << QByteArray("http://api.example") << "";
        QTest::newRow("with a path") << QByteArray("https://api.example/v2") << "";
        QTest::newRow("other scheme") << QByteArray("ftp://127.0.0.1") << "";
    }
    void serviceAddress() {
        QFETCH(QByteArray, value);
        QFETCH(QString, base);
        const QByteArray kept = qgetenv("MARIVANE_API_BASE");
        qputenv("MARIVANE_API_BASE", value);
        QString got;
        try {
            got = CurrentApiBase().toString();
        } catch (const ComponentError& error) {
            QVERIFY(error.Description().startsWith(QStringLiteral("MARIVANE_API_BASE")));
        }
        qputenv("MARIVANE_API_BASE", kept);
        QCOMPARE(got, base);
    }
};

QTEST_GUILESS_MAIN(tst_modUploadApi)
#include "tst_modUploadApi.moc"
