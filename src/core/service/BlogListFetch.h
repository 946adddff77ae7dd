#pragma once

#include "components/Failure.h"
#include "store/BlogList.h"

#include <QByteArray>
#include <QString>
#include <optional>

class IHTTPRequestCallback;

// Once modTumblelogs: the blog list ("groups") from either interface.

// How long the fetch may stand still before it is given up, in milliseconds.
inline constexpr int kFetchTimeoutMs = 30000;

// Asks "/api/authenticate" for the account's tumblelogs: the answer on status 200, else
// "Can't authenticate on Tumblr." and why.
Outcome<QByteArray> Authenticate(const QString& email, const QString& password,
                                 IHTTPRequestCallback* callback, int timeoutMs = kFetchTimeoutMs);

// Asks the current API for the account's blogs, under the stored sign-in (AccountBlogs).
Outcome<BlogList> FetchBlogs(IHTTPRequestCallback* callback, int timeoutMs = kFetchTimeoutMs);

// The blogs of an "/api/authenticate" answer, a private one by its number. Nothing when the
// answer is not XML or a tumblelog lacks an attribute.
std::optional<BlogList> TumblelogsToBlogs(const QByteArray& answer);
