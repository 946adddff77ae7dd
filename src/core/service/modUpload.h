#pragma once

#include "components/Failure.h"
#include "service/PostState.h"
#include "store/Post.h"

#include <QByteArray>
#include <QString>

class HTTPRequest;
class IHTTPRequestCallback;

// How long an upload may stand still before it is given up, in milliseconds.
inline constexpr int kUploadTimeoutMs = 200000;

// The account and the publish time, as typed in the send mode window.
struct UploadAccount {
    QString EMail;
    QString Password;
    QString PublishOn; // sent only for "Publish on..."
};

// How an upload ended. Refused: the service or the transfer said no, or the post could not
// be sent (Problem says why). LimitReached: one of the service's limits stopped it (Limit, in
// words; the send run says how far it got, LimitMessage).
struct UploadOutcome {
    enum class Result { Accepted, Refused, LimitReached };
    Result Outcome = Result::Refused;
    Failure Problem;
    QString Limit;
    // Accepted, and this link is in "Links.LST"; empty when the answer held no post id.
    QString Link;
    // Refused because only signing in again to the current API helps.
    bool SignInNeeded = false;

    bool Accepted() const { return Outcome == Result::Accepted; }
    bool Linked() const { return !Link.isEmpty(); }
};

// Sends one post to "/api/write". Accepted only when the service answered 201; then the
// post's link is in "Links.LST" unless the answer held no id.
// The post's send marker is written before the upload and stays only when the whole body
// went out without an answer: then nobody knows whether the service published it.
UploadOutcome SendPost(const UploadAccount& account, const Post& post, PostState state,
                       IHTTPRequestCallback* callback, int timeoutMs = kUploadTimeoutMs);

// The send marker of one upload of a stored post (none for a post not stored). It is set
// before the body goes out, and stays only when the service accepted the post (it goes with
// the post) or when the whole body went out without an answer: then nobody knows whether the
// service published it.
class SendMarker final {
public:
    explicit SendMarker(const Post& post)
        : m_filePath(post.Base.isEmpty() ? QString() : post.InfoPath()) {}
    // "Can't send post." when the marker cannot be written.
    Problem Set();
    void Settle(const HTTPRequest& request, bool accepted);

private:
    QString m_filePath;
};
