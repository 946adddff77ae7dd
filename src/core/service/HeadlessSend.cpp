#include "service/HeadlessSend.h"

#include "components/ComponentError.h"
#include "components/HTTPRequest.h"
#include "components/Settings.h"
#include "components/SettingsStore.h"
#include "service/PostQueue.h"
#include "service/PostSender.h"
#include "service/modApiSession.h"
#include "service/modUploadApi.h"
#include "store/SendLock.h"
#include "store/modAccount.h"
#include "store/modServiceSettings.h"
#include "store/modStorage.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QTextStream>

#include <csignal>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t g_stops = 0;

extern "C" void CountStop(int) {
    if (g_stops < 2)
        g_stops = g_stops + 1;
}

// SIGINT and SIGTERM count stop requests for as long as the run lasts. The request under way
// looks at the count at least every 100 ms, so no other wake-up is needed.
class StopSignals final {
public:
    StopSignals() {
        g_stops = 0;
        struct sigaction action = {};
        action.sa_handler = CountStop;
        sigemptyset(&action.sa_mask);
        sigaction(SIGINT, &action, &m_oldInt);
        sigaction(SIGTERM, &action, &m_oldTerm);
    }
    ~StopSignals() {
        sigaction(SIGINT, &m_oldInt, nullptr);
        sigaction(SIGTERM, &m_oldTerm, nullptr);
    }
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    static int Count() { return g_stops; }

private:
    struct sigaction m_oldInt = {};
    struct sigaction m_oldTerm = {};
};

// One line whatever the message holds, so a script reads one post a line.
QString OneLine(const QString& text) {
    static const QRegularExpression breaks(QStringLiteral("\\s*[\\r\\n]+\\s*"));
    return QString(text).replace(breaks, QStringLiteral(" ")).trimmed();
}

QString Reason(const Failure& failure) {
    return OneLine(failure.Details.isEmpty() ? failure.Message
                                             : failure.Message + QStringLiteral(" (") +
                                                   failure.Details + QLatin1Char(')'));
}

// The run's lines, and its progress while a terminal shows standard error.
class RunReport final : public IHTTPRequestCallback {
public:
    RunReport(const HeadlessSendOptions& options, QTextStream& out, QTextStream& err)
        : m_quiet(options.Quiet), m_out(out), m_err(err), m_terminal(isatty(STDERR_FILENO)) {}

    void Sent(const QString& post, const QString& link) {
        ++m_sent;
        if (!m_quiet)
            Line(QStringLiteral("sent ") + post + QLatin1Char(' ') +
                 (link.isEmpty() ? QStringLiteral("(the answer held no id, so no link)") : link));
    }
    void Kept(const QString& post, const QString& reason) {
        ++m_kept;
        Line(QStringLiteral("kept ") + post + QStringLiteral(": ") + OneLine(reason));
    }
    void Totals() {
        if (!m_quiet)
            Line(QStringLiteral("%1 sent, %2 kept").arg(m_sent).arg(m_kept));
    }
    int SentCount() const { return m_sent; }
    int KeptCount() const { return m_kept; }
    void Uploading(const QString& post) { m_post = post; }

    void BlockSent(qint64, qint64 SentBytes, qint64 TotalBytes, bool& Cancel) override {
        if (m_terminal && TotalBytes > 0) {
            m_err << "\r\x1b[K" << m_post << ": "
                  << (SentBytes < TotalBytes
                          ? QString::number(SentBytes * 100 / TotalBytes) + QLatin1Char('%')
                          : QStringLiteral("waiting for the answer"))
                  << Qt::flush;
            m_progressShown = true;
        }
        Cancel = StopSignals::Count() > 0;
    }
    void BlockReceived(const QByteArray&, bool&, qint64, qint64, bool& Cancel) override {
        Cancel = StopSignals::Count() > 0;
    }
    // A first stop after the whole post went out waits for the answer; a second gives it up.
    bool KeepWaitingForAnswer() const override { return StopSignals::Count() < 2; }

private:
    void Line(const QString& line) {
        if (m_progressShown) {
            m_err << "\r\x1b[K" << Qt::flush;
            m_progressShown = false;
        }
        // Flushed at once, so the journal and a killed run keep every line.
        m_out << line << Qt::endl;
    }

    bool m_quiet;
    QTextStream& m_out;
    QTextStream& m_err;
    bool m_terminal;
    bool m_progressShown = false;
    QString m_post;
    int m_sent = 0;
    int m_kept = 0;
};

QString PostName(const QString& infoPath) {
    return QFileInfo(infoPath).completeBaseName();
}

// The settings the send window last saved, or why there is nothing to send with.
std::optional<QString> StoredSendSettings(SendSettings& send) {
    const ServiceSettings service = LoadServiceSettings();
    const SettingsStore store;
    send.CurrentApi = service.Service == ServiceKind::CurrentApi;
    const RememberedAccount account = LoadAccount(store);
    send.Account = {account.EMail, account.Password, Settings::PublishPostOn.Read(store)};
    send.State = PostStateAt(Settings::LastStateIndex.Read(store));
    if (send.CurrentApi && !service.Tokens.SignedIn())
        return QStringLiteral("Not signed in to the current API. ") + SignInAgainText();
    if (!send.CurrentApi && (account.EMail.isEmpty() || account.Password.isEmpty()))
        return QStringLiteral("No account: enter the e-mail and the password in the send "
                              "window once, and they are kept for the next runs.");
    return std::nullopt;
}

} // namespace

HeadlessSendStatus RunHeadlessSend(const HeadlessSendOptions& options, QTextStream& out,
                                   QTextStream& err) {
    const StopSignals stopSignals;
    const auto nothingTried = [&err](const QString& why) {
        err << "marivane: " << OneLine(why) << Qt::endl;
        return HeadlessSendStatus::NothingTried;
    };
    SendSettings send;
    if (const std::optional<QString> missing = StoredSendSettings(send))
        return nothingTried(*missing);
    PostQueue queue;
    SendLock lock;
    try {
        queue = PostQueue(GetDataPath());
        if (!lock.TryLock(queue.Folder()))
            return nothingTried(SendLock::HeldText());
    } catch (const ComponentError& error) {
        return nothingTried(Reason(FailureOf(error, QStringLiteral("Can't send post."))));
    }
    if (const Problem problem = queue.Refresh())
        return nothingTried(Reason(*problem));

    RunReport report(options, out, err);
    QString stopped;      // why the posts not tried yet stay
    QString signInNeeded; // why only a person can go on
    while (stopped.isEmpty() && queue.NextIndex() >= 0) {
        if (StopSignals::Count() > 0) {
            stopped = QStringLiteral("not tried, the run was stopped");
            break;
        }
        const QString path = queue.NextPath();
        const QString name = PostName(path);
        queue.Skip(path); // each post once a run, whatever becomes of it
        const Outcome<Post> post = LoadPost(path, PostParts::WithPicture);
        if (!post) {
            report.Kept(name, Reason(post.Error()));
            // A damaged post is never sent; the others still go.
            if (post.Error().Number != ErrorNumber::PostDamaged)
                stopped = QStringLiteral("not tried after the post before could not be loaded");
            continue;
        }
        if (post->UnansweredSince && !options.ResendUnanswered) {
            report.Kept(name, QStringLiteral("its last upload ended without an answer, so it "
                                             "may already be on the blog; --resend-unanswered "
                                             "sends it again"));
            continue;
        }
        report.Uploading(name);
        const UploadOutcome outcome = SendPostWith(send, *post, &report);
        switch (outcome.Outcome) {
        case UploadOutcome::Result::Accepted:
            if (!DeletePost(path)) {
                report.Kept(name, SentPostNotDeletedText(path));
                stopped = QStringLiteral("not tried after a sent post could not be deleted");
                break;
            }
            report.Sent(name, outcome.Link);
            if (const Problem problem = queue.Refresh()) {
                err << "marivane: " << Reason(*problem) << Qt::endl;
                stopped = QStringLiteral("not tried, the posts could not be listed");
            }
            break;
        case UploadOutcome::Result::LimitReached:
            report.Kept(name, LimitMessage(outcome.Limit, report.SentCount()));
            stopped = QStringLiteral("not tried, a limit of the service was reached");
            break;
        case UploadOutcome::Result::Refused:
            report.Kept(name, Reason(outcome.Problem));
            if (outcome.SignInNeeded)
                signInNeeded = Reason(outcome.Problem);
            stopped = StopSignals::Count() > 0
                          ? QStringLiteral("not tried, the run was stopped")
                          : QStringLiteral("not tried after the post before was refused");
            break;
        }
    }
    for (int next = queue.NextIndex(); next >= 0; next = queue.NextIndex()) {
        const QString path = queue.NextPath();
        report.Kept(PostName(path), stopped);
        queue.Skip(path);
    }
    report.Totals();
    if (!signInNeeded.isEmpty() && report.SentCount() == 0)
        return nothingTried(signInNeeded);
    return report.KeptCount() == 0 ? HeadlessSendStatus::AllSent : HeadlessSendStatus::SomeKept;
}
