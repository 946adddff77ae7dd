#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

class IHTTPRequestCallback;

// How long the fetch may stand still before it is given up, in milliseconds.
inline constexpr int kFetchTimeoutMs = 30000;

// Asks "/api/authenticate" for the account's tumblelogs. The answer on status 200;
// nothing after a failure, which has been shown ("Can't authenticate on Tumblr.").
std::optional<QByteArray> Authenticate(const QString& email, const QString& password,
                                       IHTTPRequestCallback* callback,
                                       int timeoutMs = kFetchTimeoutMs);

// Asks the current API for the account's blogs, under the stored sign-in. The groups text
// (BlogsToGroups); nothing after a failure, which has been shown.
std::optional<QString> FetchBlogGroups(IHTTPRequestCallback* callback,
                                       int timeoutMs = kFetchTimeoutMs);

// The groups text made of the answer: one "title | group" line per tumblelog, joined by
// CR LF. Nothing when the answer is not XML or a tumblelog lacks an attribute.
std::optional<QString> TumblelogsToGroups(const QByteArray& answer);
