#pragma once

#include "app/FormBase.h"
#include "app/LauncherEntry.h"
#include "components/Messages.h"
#include "service/ServiceAccountBoxes.h"
#include "service/StoppableWork.h"
#include "service/modUpload.h"

#include <QSet>
#include <memory>

namespace Ui {
class frmSender;
}

// The send mode window: uploads every waiting post, oldest first, deletes each post the
// service accepted, and stops at the first failure or when asked to.
class frmSender final : public FormBase, public StoppableWork {
    Q_OBJECT
public:
    explicit frmSender(QWidget* parent = nullptr);
    ~frmSender() override;

    void FillStates();
    void LoadSettings();
    void SaveSettings();
    void UpdateControls() override;
    bool SendFirstPost();
    // path: the stored post, which carries the send marker.
    bool SendPost(const QString& group, const QString& caption, const QString& tags,
                  const QByteArray& picture, int stateCode, const QString& path = {});

    // A first stop after the whole post went out waits for the service's answer; a
    // second one gives up the wait.
    bool KeepWaitingForAnswer() const override { return m_stopRequests < 2; }

protected:
    bool KeyPreview(QKeyEvent* event);
    bool QueryUnload() override;
    void OnUnload() override;
    void SendProgress(qint64 sent, qint64 total) override;
    void AnswerArriving() override;

private:
    void Load();
    void SendPosts();
    void StateChanged();
    bool RefreshFiles();
    void ShowConnectionSettings();
    int NextPostRow() const;
    MsgResult ConfirmResend(const QString& path, const QString& caption) const;
    // The line of the post under way shows this after its name (nothing: its name alone).
    void MarkPostUnderWay(const QString& suffix);

    std::unique_ptr<Ui::frmSender> ui;
    ServiceAccountBoxes m_account;
    QString m_dataPath;
    bool m_loaded = false;
    bool m_listed = true;    // the last listing of the data folder worked
    QSet<QString> m_skipped; // posts this run leaves alone
    QStringList m_unlinked;  // posts this run sent whose id the answer did not hold
    LauncherEntry m_launcher;
    int m_runPosts = 0; // listed when the run started
    int m_sentInRun = 0;
    QString m_classicPublishOnTip; // the time is sent as typed there
};
