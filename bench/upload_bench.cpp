// Uploads stored posts the way the send run does (load, send, delete) and prints the wall
// time: to the classic interface, or with --api to the current API under a stored sign-in.
// --dump-body writes one post's request body and prints its content type, for curl.
// --store-only stores the posts and sends nothing, so a trace of it can be subtracted.
#include "TestHome.h"
#include "components/HTTPFormFields.h"
#include "service/PostSender.h"
#include "service/modNpfPost.h"
#include "service/modUpload.h"
#include "service/modUploadApi.h"
#include "store/modServiceSettings.h"
#include "store/modStorage.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <cstdio>

namespace {

QByteArray Picture(qint64 bytes) {
    QByteArray data(bytes, Qt::Uninitialized);
    for (qsizetype i = 0; i < data.size(); ++i)
        data[i] = static_cast<char>((i * 131) >> 3);
    return data;
}

// The stand-in takes any token; one that has not run out sends no renewal first.
bool StoreSignIn() {
    ServiceSettings settings;
    settings.Service = ServiceKind::CurrentApi;
    settings.ConsumerKey = QStringLiteral("key");
    settings.ConsumerSecret = QStringLiteral("secret");
    settings.Tokens = {QStringLiteral("bench"), QStringLiteral("bench-refresh"),
                       QDateTime::currentDateTimeUtc().addDays(1), QStringLiteral("someone")};
    return SaveServiceChoice(settings) && SaveServiceTokens(settings.Tokens);
}

// The body and content type of a classic upload of the picture.
std::pair<QByteArray, QByteArray> ClassicBody(const UploadAccount& account,
                                              const QByteArray& picture) {
    HTTPFormFields fields;
    fields.AddField(QStringLiteral("email"), account.EMail);
    fields.AddField(QStringLiteral("password"), account.Password);
    fields.AddField(QStringLiteral("type"), QStringLiteral("photo"));
    fields.AddField(QStringLiteral("caption"), QStringLiteral("bench"));
    fields.AddField(QStringLiteral("data"), picture);
    fields.AddField(QStringLiteral("state"), QStringLiteral("published"));
    return {fields.Body().Chunks.join(), fields.ContentType()};
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const auto option = [&args](const QString& name, const QString& fallback) {
        const qsizetype at = args.indexOf(name);
        return at >= 0 && at + 1 < args.size() ? args.at(at + 1) : fallback;
    };
    const int posts = option(QStringLiteral("--posts"), QStringLiteral("50")).toInt();
    const qint64 megabytes = option(QStringLiteral("--size"), QStringLiteral("4")).toLongLong();
    const qint64 bytes =
        option(QStringLiteral("--kb"), QString::number(megabytes << 10)).toLongLong() << 10;
    const QString dump = option(QStringLiteral("--dump-body"), QString());
    const bool api = args.contains(QStringLiteral("--api"));
    const UploadAccount account{QStringLiteral("me@example.org"), QStringLiteral("pw"), {}};
    const QString group = QStringLiteral("g");
    const QString caption = QStringLiteral("bench");

    if (!dump.isEmpty()) {
        Post post;
        post.Group = group;
        post.Caption = caption;
        post.Picture = Picture(bytes);
        std::pair<QByteArray, QByteArray> body;
        if (api) {
            const NpfBody npf = NpfPostBody(post, PostState::PublishNow, {});
            body = {npf.Body.Chunks.join(), npf.ContentType};
        } else {
            body = ClassicBody(account, post.Picture);
        }
        QFile file(dump);
        if (!file.open(QIODevice::WriteOnly) || file.write(body.first) < 0)
            return 2;
        std::printf("%s\n", body.second.constData());
        return 0;
    }

    const TestHome home;
    const QString pictureFile = home.Path() + QStringLiteral("/picture.jpg");
    {
        QFile file(pictureFile);
        if (!file.open(QIODevice::WriteOnly) || file.write(Picture(bytes)) < 0)
            return 2;
    }
    if (api && !StoreSignIn())
        return 2;
    for (int i = 0; i < posts; ++i)
        if (!SavePost(NewPost(group, caption, QString(), pictureFile)))
            return 2;
    QFile::remove(pictureFile);
    if (args.contains(QStringLiteral("--store-only")))
        return 0;

    QElapsedTimer timer;
    timer.start();
    const QString folder = GetDataPath();
    for (const QString& name : ListPostInfos(folder).ToStringList()) {
        const QString path = folder + QLatin1Char('/') + name;
        // As the send run does: the marker and the link are part of each upload.
        const Outcome<Post> post = LoadPost(path, PostParts::WithPicture);
        if (!post)
            return 1;
        SendSettings settings;
        settings.CurrentApi = api;
        settings.Account = account;
        if (!SendPostWith(settings, *post, nullptr).Linked())
            return 1;
        DeletePost(path);
    }
    std::printf("%.3f\n", timer.elapsed() / 1000.0);
    return 0;
}
