#pragma once

#include <QString>
#include <QStringList>

// What the service does with a post it accepts, in the order the send window lists them.
enum class PostState { PublishNow, AddToQueue, PublishOn, Draft, Submission, Private };

// The send window's texts for the states, in their order.
QStringList PostStateTexts();
// The state at a place of that list; "Publish now" for a place outside it.
PostState PostStateAt(int index);

// The classic interface's form fields for a state: its "state" value, or for a private post
// "private" = "1"; "Publish on..." adds "publish-on".
struct ClassicStateField {
    QString Name;
    QString Value;
};
ClassicStateField ClassicStateFieldOf(PostState state);
// The current API's "state" of a post.
QString ApiStateOf(PostState state);
