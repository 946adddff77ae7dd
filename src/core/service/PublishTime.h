#pragma once

#include <QDateTime>
#include <QString>

// "Publish on..." for the current API, which takes only an RFC 3339 date-time with its
// offset. Read are ISO 8601 date-times with or without an offset ("T" or a blank between
// date and time) and "YYYY-MM-DD HH:MM" with optional seconds; a time without an offset is
// this computer's local time.
struct PublishTime {
    QString Rfc3339; // such as 2030-05-01T10:00:00+02:00; empty when there is a Problem
    QString Problem; // why the typed time can't be sent, for the user
};
PublishTime ReadPublishTime(const QString& typed,
                            const QDateTime& now = QDateTime::currentDateTime());

// The tool tip of the time box under the current API.
QString PublishTimeToolTip();
