#pragma once

#include "app/FormBase.h"
#include "app/LauncherEntry.h"
#include "service/BlogListFetch.h"
#include "service/ServiceAccountBoxes.h"
#include "service/StoppableWork.h"

#include <memory>

class QPlainTextEdit;

namespace Ui {
class frmGetGroupsList;
}

// Fetches the account's tumblelogs (or, with the current API, its blogs) and puts one
// "title | group" line per tumblelog into the groups editor's text, then closes itself.
class frmGetGroupsList final : public FormBase, public StoppableWork {
    Q_OBJECT
public:
    explicit frmGetGroupsList(QPlainTextEdit* groupsBox, QWidget* parent = nullptr);
    ~frmGetGroupsList() override;

    void SaveSettings();
    void UpdateControls() override;
    // The service's answer; nothing after a failure, which has been shown.
    std::optional<QByteArray> Authenticate();
    void ParseTumblelogs(const std::optional<QByteArray>& answer);

    // Every way of closing ends here; refused while a fetch is under way.
    void done(int result) override;

protected:
    void SendProgress(qint64 sent, qint64 total) override;

private:
    void GetList();
    void ShowConnectionSettings();

    std::unique_ptr<Ui::frmGetGroupsList> ui;
    QPlainTextEdit* m_groupsBox;
    ServiceAccountBoxes m_account;
    bool m_loaded = false;
    bool m_unloaded = false;
    bool m_fetched = false; // in the run under way
    LauncherEntry m_launcher;
};
