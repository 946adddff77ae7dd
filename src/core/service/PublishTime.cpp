#include "service/PublishTime.h"

#include <QRegularExpression>

namespace {

constexpr int kMaxOffsetHours = 14;

const QString kForms = QStringLiteral(
    "2030-05-01 10:00, 2030-05-01 10:00:30 or 2030-05-01T10:00:00+02:00 (ISO 8601); a time "
    "without an offset is this computer's local time");

QString Unreadable(const QString& typed) {
    return QStringLiteral("The time under \"Publish on...\" can't be read: \"") + typed +
           QStringLiteral("\". Type it as ") + kForms + QLatin1Char('.');
}

QString OffsetText(int seconds) {
    const int minutes = qAbs(seconds) / 60;
    return QStringLiteral("%1%2:%3")
        .arg(seconds < 0 ? QLatin1Char('-') : QLatin1Char('+'))
        .arg(minutes / 60, 2, 10, QLatin1Char('0'))
        .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

PublishTime ReadPublishTime(const QString& typed, const QDateTime& now) {
    static const QRegularExpression pattern(QStringLiteral(
        "^(\\d{4})-(\\d{2})-(\\d{2})[Tt ](\\d{2}):(\\d{2})(?::(\\d{2})(?:[.,]\\d+)?)?"
        " ?(?:([Zz])|([+-])(\\d{2}):?(\\d{2}))?$"));
    const QString text = typed.trimmed();
    if (text.isEmpty())
        return {
            {},
            QStringLiteral("Type the time to publish the posts on under \"Publish on...\", as ") +
                kForms + QLatin1Char('.')};
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return {{}, Unreadable(text)};
    const auto number = [&match](int group) {
        return match.captured(group).toInt();
    };
    const QDate date(number(1), number(2), number(3));
    const QTime time(number(4), number(5), number(6));
    if (!date.isValid() || !time.isValid())
        return {{}, Unreadable(text)};
    QDateTime when;
    if (!match.captured(7).isEmpty()) {
        when = QDateTime(date, time, Qt::UTC);
    } else if (!match.captured(8).isEmpty()) {
        if (number(9) > kMaxOffsetHours || number(10) >= 60)
            return {{}, Unreadable(text)};
        const int offset = (number(9) * 3600 + number(10) * 60) *
                           (match.captured(8) == QLatin1String("-") ? -1 : 1);
        when = QDateTime(date, time, Qt::OffsetFromUTC, offset);
    } else {
        when = QDateTime(date, time, Qt::LocalTime);
        // A local time the clock skips (the hour a summer time begins) is no time at all.
        if (!when.isValid() || when.time() != time)
            return {{}, Unreadable(text)};
    }
    if (!when.isValid())
        return {{}, Unreadable(text)};
    if (when <= now)
        return {{},
                QStringLiteral("The time under \"Publish on...\" (") + text +
                    QStringLiteral(") has passed. Type a time to come, as ") + kForms +
                    QLatin1Char('.')};
    return {when.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")) + OffsetText(when.offsetFromUtc()),
            {}};
}

QString PublishTimeToolTip() {
    return QStringLiteral(" Time to publish the posts on: ") + kForms + QLatin1Char(' ');
}
