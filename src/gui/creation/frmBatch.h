#pragma once

#include "app/FormBase.h"
#include "history/CHistory.h"

#include <memory>

class CreatorFields;
class QMimeData;

namespace Ui {
class frmBatch;
}

// Batch mode: lists the picture files of a folder and turns the selected ones into posts
// with the caption, tags and group set in the creator window.
class frmBatch final : public FormBase {
    Q_OBJECT
public:
    // With a folder, the window opens on it instead of the last one used.
    explicit frmBatch(CreatorFields& creator, QWidget* parent = nullptr,
                      const QString& folder = QString());
    ~frmBatch() override;

    void SetCurrentPath(const QString& path);
    // Leaves exactly the listed files of these names selected.
    void SelectOnly(const QStringList& names);
    const QString& CurrentPath() const { return m_currentPath; }
    // False when the window could not open (the error was shown); exec() then returns at once.
    bool Loaded() const { return m_loaded; }
    int exec() override;

protected:
    bool KeyPreview(QKeyEvent* event);
    void OnUnload() override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool HandlesDrag(const QMimeData* data) const;
    bool AcceptDrop(const QMimeData* data, bool take);

private:
    void UpdateStatus();
    void LoadSettings();
    void SaveSettings();
    void CreatePosts();
    bool StoreSelectedFiles(); // false after an Abort
    void Browse();
    void PickFromHistory();
    void RestoreListedPathAndCreate();

    std::unique_ptr<Ui::frmBatch> ui;
    CreatorFields& m_creator;
    CHistory BatchPathHistory;
    QString m_currentPath;
    bool m_loaded = false;
};
