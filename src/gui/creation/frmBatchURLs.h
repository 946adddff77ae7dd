#pragma once

#include "app/FormBase.h"

#include <memory>

class CreatorFields;
class QMimeData;
class SelectAllHook;

namespace Ui {
class frmBatchURLs;
}

// URLs mode: every line of the box that is a picture URL becomes a URL post with the
// caption, tags and group set in the creator window; the other lines stay for fixing.
class frmBatchURLs final : public FormBase {
    Q_OBJECT
public:
    explicit frmBatchURLs(CreatorFields& creator, QWidget* parent = nullptr);
    ~frmBatchURLs() override;

protected:
    void OnUnload() override;
    bool HandlesDrag(const QMimeData* data) const;
    bool AcceptDrop(const QMimeData* data, bool take);

private:
    void UpdateStatus();
    void LoadSettings();
    void SaveSettings();
    void CreatePosts();

    std::unique_ptr<Ui::frmBatchURLs> ui;
    CreatorFields& m_creator;
    SelectAllHook* m_hooks = nullptr;
};
