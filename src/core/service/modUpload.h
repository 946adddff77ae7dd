#pragma once

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
    QString PublishOn; // sent only for state code 2
};

// One stored post as the send run hands it over.
struct UploadPost {
    QString Group;
    QString Caption;
    QString Tags;
    QByteArray Picture; // the ".Picture" content: picture bytes, or the URL marker and a URL
    int StateCode = 0;
    QString FilePath; // the stored post, which carries the send marker; empty for none
};

// Sends one post to "/api/write". True only when the service answered 201; then the
// post's link is in "Links.LST" unless the answer held no id (linked false). Every failure
// is shown to the user here.
// The post's send marker is written before the upload and stays only when the whole body
// went out without an answer: then nobody knows whether the service published it.
bool SendPost(const UploadAccount& account, const UploadPost& post, IHTTPRequestCallback* callback,
              int timeoutMs = kUploadTimeoutMs, bool* linked = nullptr);

// The send marker of one upload of a stored post (none for an empty path). It is set before
// the body goes out, and stays only when the service accepted the post (it goes with the
// post) or when the whole body went out without an answer: then nobody knows whether the
// service published it.
class SendMarker final {
public:
    explicit SendMarker(const QString& filePath) : m_filePath(filePath) {}
    // False when the marker cannot be written; that has been shown ("Can't send post.").
    bool Set();
    void Settle(const HTTPRequest& request, bool accepted);

private:
    QString m_filePath;
};
