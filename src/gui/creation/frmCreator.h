#pragma once

#include "app/FormBase.h"
#include "app/SelectAllHook.h"
#include "creation/CreatorFields.h"
#include "history/CHistory.h"

#include <memory>

class QCheckBox;
class QLineEdit;
class QMimeData;

namespace Ui {
class frmCreator;
}

// The main window: one post at a time from a picture file, caption, tags and group;
// opens every other mode. Closing it ends the program.
class frmCreator final : public FormBase, public CreatorFields {
    Q_OBJECT
public:
    // Raises ComponentError when the data folder cannot be made.
    explicit frmCreator(QWidget* parent = nullptr);
    ~frmCreator() override;

    QString GetGroup() const override;
    QString CaptionText() const override;
    QString TagsText() const override;
    CHistory& History() override { return m_history; }
    CHistory& TagsHistory() override { return m_tagsHistory; }

    // Moves the picture file to the previous-file box and empties it.
    void ClearFileName();

protected:
    void OnUnload() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private Q_SLOTS:
    void OpenBatch();
    void OpenBatchURLs();
    void OpenPostManager();
    void OpenSender();

private:
    bool KeyPreview(QKeyEvent* event);
    bool HandlesDrag(const QMimeData* data) const;
    bool AcceptDrop(const QMimeData* data, bool take);
    void LoadSettings();
    void SaveSettings();
    void CreatePost();
    void BrowsePictureFile();
    bool PictureFromClipboard();
    // A file named as by Shift+Insert: the path of an existing file, or nothing is taken.
    bool TakeFileName(QString text);
    // The folder batch on a folder (empty: the last one used), with only these files selected
    // (none given: all).
    void OpenBatchOn(const QString& folder, const QStringList& names);
    void OpenPictureFile();
    void UpdateCreateEnabled();
    void GroupListChanged();
    void EditGroups();
    void ShowLinks();
    void ResultClicked();

    std::unique_ptr<Ui::frmCreator> ui;
    CHistory m_history;
    CHistory m_tagsHistory;
    SelectAllHook m_captionHook;
};

// With the Auto box checked, the tags box gets the tags made from the caption's first line.
void ApplyTagsFromCaption(const QWidget* captionBox, QLineEdit* tagsBox, const QCheckBox* autoBox);
