#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>

// One picture post: what the creator makes, the store keeps as a file pair and the send run
// uploads.
struct Post {
    // The pair's path in the data folder without ".Info" or ".Picture"; empty until stored.
    QString Base;
    // The blog's name (a groups line is reduced to its name when the post is stored).
    QString Group;
    QString Tags;
    QString Caption;
    // A new post's picture: a local file, or else a picture's address.
    QString PictureFile;
    QString PictureURL;
    // A stored post's ".Picture" content, when it was loaded with it: the picture's bytes, or
    // the URL marker and the address.
    QByteArray Picture;
    // When its last upload began, if that one ended without an answer.
    std::optional<QDateTime> UnansweredSince;

    bool IsURLPost() const { return !PictureURL.isEmpty(); }
    // The ".Info" file's path, which the send run lists and names the post by.
    QString InfoPath() const { return Base + QStringLiteral(".Info"); }
};
