#pragma once

#include "app/FormBase.h"
#include "history/CHistory.h"
#include "ui_frmBatch.h"

class CreatorFields;

// Batch mode: lists the picture files of a folder and turns the selected ones into posts
// with the caption, tags and group set in the creator window.
class frmBatch final : public FormBase, public Ui::frmBatch {
    Q_OBJECT
public:
    explicit frmBatch(CreatorFields& creator, QWidget* parent = nullptr);

    void SetCurrentPath(const QString& path);
    const QString& CurrentPath() const { return m_currentPath; }
    // False when the window could not open (the error was shown); exec() then returns at once.
    bool Loaded() const { return m_loaded; }
    int exec() override;

protected:
    bool KeyPreview(QKeyEvent* event) override;
    void OnUnload() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void UpdateStatus();
    void LoadSettings();
    void SaveSettings();
    void CreatePosts();
    bool PackSelectedFiles(); // false after an Abort
    void Browse();
    void PickFromHistory();
    void RestoreListedPathAndCreate();

    CreatorFields& m_creator;
    CHistory BatchPathHistory;
    QString m_currentPath;
    bool m_loaded = false;
};
