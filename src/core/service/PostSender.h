#pragma once

#include "service/PostState.h"
#include "service/modUpload.h"

// What a send run sends with: the interface, the classic account and typed publish time, and
// the state every post gets.
struct SendSettings {
    bool CurrentApi = false;
    UploadAccount Account;
    PostState State = PostState::PublishNow;
};

// Sends one post through the chosen interface. Under the current API "Publish on..." reads
// the typed time first, so a time the service can't take refuses the post before any upload.
UploadOutcome SendPostWith(const SendSettings& settings, const Post& post,
                           IHTTPRequestCallback* callback, int timeoutMs = kUploadTimeoutMs);

// What a run says of a post the service accepted whose file stayed: a run that went on would
// send it again.
QString SentPostNotDeletedText(const QString& infoPath);
