#pragma once

class QTextStream;

// How `marivane --send` runs.
struct HeadlessSendOptions {
    bool Quiet = false;
    bool ResendUnanswered = false;
};

// What `marivane --send` ends with.
enum class HeadlessSendStatus {
    AllSent = 0,
    SomeKept = 1,
    NothingTried = 3,
};

// Sends every waiting post as the send window does, with the saved settings, for a person at
// a terminal or a timer: one line a post and the counts on `out`, why nothing could be tried
// on `err`, progress on `err` when it is a terminal. SIGINT and SIGTERM stop the run as the
// window's "Stop" does while it lasts; a second one gives up the answer awaited.
HeadlessSendStatus RunHeadlessSend(const HeadlessSendOptions& options, QTextStream& out,
                                   QTextStream& err);
