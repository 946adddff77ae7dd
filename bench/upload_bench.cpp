// Uploads stored posts the way the send run does (load, send, delete) and prints the
// wall time. --dump-body writes one post's request body and content type for curl.
#include "TestHome.h"
#include "components/HTTPFormFields.h"
#include "service/modUpload.h"
#include "store/modStorage.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <cstdio>

namespace {

QByteArray Picture(qint64 megabytes) {
    QByteArray data(megabytes << 20, Qt::Uninitialized);
    for (qsizetype i = 0; i < data.size(); ++i)
        data[i] = static_cast<char>((i * 131) >> 3);
    return data;
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
    const QString dump = option(QStringLiteral("--dump-body"), QString());

    const TestHome home;
    const QString pictureFile = home.Path() + QStringLiteral("/picture.jpg");
    {
        QFile file(pictureFile);
        if (!file.open(QIODevice::WriteOnly) || file.write(Picture(megabytes)) < 0)
            return 2;
    }
    const UploadAccount account{QStringLiteral("me@example.org"), QStringLiteral("pw"), {}};

    if (!dump.isEmpty()) {
        HTTPFormFields fields;
        fields.AddField(QStringLiteral("email"), account.EMail);
        fields.AddField(QStringLiteral("password"), account.Password);
        fields.AddField(QStringLiteral("type"), QStringLiteral("photo"));
        fields.AddField(QStringLiteral("caption"), QStringLiteral("bench"));
        QFile picture(pictureFile);
        picture.open(QIODevice::ReadOnly);
        fields.AddField(QStringLiteral("data"), picture.readAll());
        fields.AddField(QStringLiteral("state"), QStringLiteral("published"));
        QFile body(dump);
        if (!body.open(QIODevice::WriteOnly) || body.write(fields.FormText2().Chunks.join()) < 0)
            return 2;
        std::printf("%s\n", fields.FormText1().constData());
        return 0;
    }

    for (int i = 0; i < posts; ++i)
        if (!SavePost(QStringLiteral("g"), QStringLiteral("bench"), QString(), pictureFile, {}))
            return 2;
    QFile::remove(pictureFile);

    QElapsedTimer timer;
    timer.start();
    const QString folder = GetDataPath();
    for (const QString& name : ListPostInfos(folder).ToStringList()) {
        const QString path = folder + QLatin1Char('/') + name;
        UploadPost post;
        post.FilePath = path; // as the send run does: the marker is part of each upload
        if (!LoadPost(path, post.Group, post.Caption, post.Tags, &post.Picture))
            return 1;
        if (!SendPost(account, post, nullptr))
            return 1;
        DeletePost(path);
    }
    std::printf("%.3f\n", timer.elapsed() / 1000.0);
    return 0;
}
