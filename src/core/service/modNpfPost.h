#pragma once

#include "components/HTTPFormFields.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <optional>

struct Post;
enum class PostState;

// The name under which a file post's picture travels beside the post's JSON.
inline constexpr char kNpfMediaIdentifier[] = "picture";

// A new post in the Neue Post Format: an image block, the caption as text blocks, the tags
// and the state; "publish_on" only for "Publish on...", an RFC 3339 date-time.
QJsonObject NpfPostJson(const Post& post, PostState state, const QString& publishOn);

// The request body: for a file post the JSON and then the picture as multipart parts; for
// a URL post the JSON alone.
struct NpfBody {
    QByteArray ContentType;
    HTTPFormBody Body;
};
NpfBody NpfPostBody(const Post& post, PostState state, const QString& publishOn);
