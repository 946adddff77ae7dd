#pragma once

#include "app/FormBase.h"
#include "app/LauncherEntry.h"
#include "service/PostQueue.h"
#include "service/ServiceAccountBoxes.h"
#include "service/StoppableWork.h"
#include "service/modUpload.h"
#include "widgets/Messages.h"

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
    // Sends the next post the run has not skipped (once called SendFirstPost); false ends
    // the run.
    bool SendNextPost();

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
    bool Upload(const Post& post, const QString& path);
    MsgResult ConfirmResend(const Post& post) const;
    // The line of the post under way shows this after its name (nothing: its name alone).
    void MarkPostUnderWay(const QString& suffix);

    std::unique_ptr<Ui::frmSender> ui;
    ServiceAccountBoxes m_account;
    PostQueue m_queue;
    bool m_loaded = false;
    QStringList m_unlinked; // posts this run sent whose id the answer did not hold
    LauncherEntry m_launcher;
    int m_runPosts = 0; // listed when the run started
    int m_sentInRun = 0;
    QString m_classicPublishOnTip; // the time is sent as typed there
};
