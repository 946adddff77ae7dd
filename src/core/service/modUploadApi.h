#pragma once

#include "service/modUpload.h"

#include <QString>

class IHTTPRequestCallback;

// How an upload to the current API ended.
struct ApiUploadOutcome {
    enum class Result { Accepted, Refused, LimitReached };
    Result Outcome = Result::Refused;
    QString Limit;       // which of the service's limits stopped it, in words
    bool Linked = false; // accepted, and its link is in "Links.LST" (the answer held its id)
};

// Sends one post to the current API as a post of the Neue Post Format, under the stored
// sign-in. Accepted: the service answered 201; the post's link is in "Links.LST" when the
// answer held its id (Linked).
// Refused: the failure has been shown. LimitReached: nothing shown; the send run says
// which limit it was and how far it got (LimitMessage). The post's send marker is kept as
// SendPost keeps it; a token the service refused is renewed and the upload repeated once,
// since a refused token means nothing was made.
ApiUploadOutcome SendPostToApi(const UploadPost& post, const QString& publishOn,
                               IHTTPRequestCallback* callback, int timeoutMs = kUploadTimeoutMs);

// The message that ends a send run stopped by one of the service's limits.
QString LimitMessage(const QString& limit, int sentInRun);
