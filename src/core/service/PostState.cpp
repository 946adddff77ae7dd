#include "service/PostState.h"

QStringList PostStateTexts() {
    return {QStringLiteral("Publish now"),     QStringLiteral("Add to queue"),
            QStringLiteral("Publish on..."),   QStringLiteral("Save as draft"),
            QStringLiteral("Make submission"), QStringLiteral("Private")};
}

PostState PostStateAt(int index) {
    return index >= 0 && index <= static_cast<int>(PostState::Private)
               ? static_cast<PostState>(index)
               : PostState::PublishNow;
}

ClassicStateField ClassicStateFieldOf(PostState state) {
    const QString name = QStringLiteral("state");
    switch (state) {
    case PostState::PublishNow:
        return {name, QStringLiteral("published")};
    case PostState::AddToQueue:
    case PostState::PublishOn:
        return {name, QStringLiteral("queue")};
    case PostState::Draft:
        return {name, QStringLiteral("draft")};
    case PostState::Submission:
        return {name, QStringLiteral("submission")};
    case PostState::Private:
        break;
    }
    return {QStringLiteral("private"), QStringLiteral("1")};
}

QString ApiStateOf(PostState state) {
    switch (state) {
    case PostState::PublishNow:
        return QStringLiteral("published");
    case PostState::AddToQueue:
    case PostState::PublishOn:
        return QStringLiteral("queue");
    case PostState::Draft:
        return QStringLiteral("draft");
    case PostState::Submission:
        return QStringLiteral("unapproved");
    case PostState::Private:
        break;
    }
    return QStringLiteral("private");
}
