#pragma once

#include "service/modUpload.h"

#include <QString>

class IHTTPRequestCallback;

// Sends one post to the current API as a post of the Neue Post Format, under the stored
// sign-in. Accepted: the service answered 201; the post's link is in "Links.LST" when the
// answer held its id (Linked). The post's send marker is kept as SendPost keeps it; a token
// the service refused is renewed and the upload repeated once, since a refused token means
// nothing was made. publishOn: an RFC 3339 date-time, for "Publish on..." only.
UploadOutcome SendPostToApi(const Post& post, PostState state, const QString& publishOn,
                            IHTTPRequestCallback* callback, int timeoutMs = kUploadTimeoutMs);

// The message that ends a send run stopped by one of the service's limits.
QString LimitMessage(const QString& limit, int sentInRun);
