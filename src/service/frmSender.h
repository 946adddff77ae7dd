#pragma once

#include "app/FormBase.h"
#include "history/CHistory.h"
#include "service/StoppableWork.h"
#include "service/modUpload.h"
#include "ui_frmSender.h"

// The send mode window: uploads every waiting post, oldest first, deletes each post the
// service accepted, and stops at the first failure or when asked to.
class frmSender final : public FormBase, public Ui::frmSender, public StoppableWork {
    Q_OBJECT
public:
    explicit frmSender(QWidget* parent = nullptr);

    void FillStates();
    void LoadSettings();
    void SaveSettings();
    void UpdateControls();
    bool SendFirstPost();
    bool SendPost(const QString& group, const QString& caption, const QString& tags,
                  const QByteArray& picture, int stateCode);

    // Tests give the upload a short time to stand still.
    void SetTimeout(int milliseconds) { m_timeoutMs = milliseconds; }

protected:
    bool KeyPreview(QKeyEvent* event) override;
    bool QueryUnload() override;
    void OnUnload() override;

private:
    void Load();
    void SendPosts();
    void StateChanged();
    void RefreshFiles();

    CHistory m_emailHistory;
    QString m_dataPath;
    bool m_loaded = false;
    int m_timeoutMs = kUploadTimeoutMs;
};
