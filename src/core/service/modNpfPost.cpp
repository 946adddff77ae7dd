#include "service/modNpfPost.h"

#include "service/NpfText.h"
#include "service/modUpload.h"
#include "store/modStorage.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QMimeDatabase>

namespace {

constexpr int kPublishOnState = 2;

QMimeType PictureType(const QByteArray& picture) {
    return QMimeDatabase().mimeTypeForData(picture);
}

QJsonObject ImageBlock(const UploadPost& post) {
    const QString url = PictureURLFromData(post.Picture);
    QJsonObject media;
    if (!url.isEmpty()) {
        media.insert(QStringLiteral("url"), url);
    } else {
        media.insert(QStringLiteral("type"), PictureType(post.Picture).name());
        media.insert(QStringLiteral("identifier"), QString::fromLatin1(kNpfMediaIdentifier));
    }
    return {{QStringLiteral("type"), QStringLiteral("image")},
            {QStringLiteral("media"), QJsonArray{media}}};
}

} // namespace

std::optional<QString> NpfState(int stateCode) {
    switch (stateCode) {
    case 0:
        return QStringLiteral("published");
    case 1:
    case 2:
        return QStringLiteral("queue");
    case 3:
        return QStringLiteral("draft");
    case 4:
        return QStringLiteral("unapproved");
    case 5:
        return QStringLiteral("private");
    default:
        return std::nullopt;
    }
}

QJsonObject NpfPostJson(const UploadPost& post, const QString& publishOn) {
    QJsonArray content{ImageBlock(post)};
    for (const QJsonValue& block : NpfTextBlocks(post.Caption))
        content.append(block);
    QJsonObject json{{QStringLiteral("content"), content}};
    const QString tags = NpfTags(post.Tags);
    if (!tags.isEmpty())
        json.insert(QStringLiteral("tags"), tags);
    if (const std::optional<QString> state = NpfState(post.StateCode))
        json.insert(QStringLiteral("state"), *state);
    if (post.StateCode == kPublishOnState)
        json.insert(QStringLiteral("publish_on"), publishOn);
    return json;
}

NpfBody NpfPostBody(const UploadPost& post, const QString& publishOn) {
    const QByteArray json =
        QJsonDocument(NpfPostJson(post, publishOn)).toJson(QJsonDocument::Compact);
    if (!PictureURLFromData(post.Picture).isEmpty())
        return {"application/json", HTTPFormBody{{json}}};
    const QMimeType type = PictureType(post.Picture);
    const QString suffix = type.preferredSuffix();
    HTTPFormFields fields;
    fields.AddPart(QStringLiteral("json"), json, "application/json");
    fields.AddPart(QString::fromLatin1(kNpfMediaIdentifier), post.Picture, type.name().toLatin1(),
                   QString::fromLatin1(kNpfMediaIdentifier) +
                       (suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix));
    return {fields.FormText1(), fields.FormText2()};
}
