#include "service/modNpfPost.h"

#include "service/NpfText.h"
#include "service/PostState.h"
#include "store/Post.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QMimeDatabase>

namespace {

QMimeType PictureType(const QByteArray& picture) {
    return QMimeDatabase().mimeTypeForData(picture);
}

QJsonObject ImageBlock(const Post& post) {
    QJsonObject media;
    if (post.IsURLPost()) {
        media.insert(QStringLiteral("url"), post.PictureURL);
    } else {
        media.insert(QStringLiteral("type"), PictureType(post.Picture).name());
        media.insert(QStringLiteral("identifier"), QString::fromLatin1(kNpfMediaIdentifier));
    }
    return {{QStringLiteral("type"), QStringLiteral("image")},
            {QStringLiteral("media"), QJsonArray{media}}};
}

} // namespace

QJsonObject NpfPostJson(const Post& post, PostState state, const QString& publishOn) {
    QJsonArray content{ImageBlock(post)};
    for (const QJsonValue& block : NpfTextBlocks(post.Caption))
        content.append(block);
    QJsonObject json{{QStringLiteral("content"), content}};
    const QString tags = NpfTags(post.Tags);
    if (!tags.isEmpty())
        json.insert(QStringLiteral("tags"), tags);
    json.insert(QStringLiteral("state"), ApiStateOf(state));
    if (state == PostState::PublishOn)
        json.insert(QStringLiteral("publish_on"), publishOn);
    return json;
}

NpfBody NpfPostBody(const Post& post, PostState state, const QString& publishOn) {
    const QByteArray json =
        QJsonDocument(NpfPostJson(post, state, publishOn)).toJson(QJsonDocument::Compact);
    if (post.IsURLPost())
        return {"application/json", HTTPFormBody{{json}}};
    const QMimeType type = PictureType(post.Picture);
    const QString suffix = type.preferredSuffix();
    HTTPFormFields fields;
    fields.AddPart(QStringLiteral("json"), json, "application/json");
    fields.AddPart(QString::fromLatin1(kNpfMediaIdentifier), post.Picture, type.name().toLatin1(),
                   QString::fromLatin1(kNpfMediaIdentifier) +
                       (suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix));
    return {fields.ContentType(), fields.Body()};
}
