#pragma once

#include "app/FormBase.h"
#include "components/FolderListing.h"
#include "store/FolderIndex.h"

#include <QFutureWatcher>
#include <memory>

class QImage;
class QLabel;
class QMenu;
struct PostPictures;

namespace Ui {
class frmPostManager;
}

// Manage mode: lists the waiting posts, previews one at a time (its picture filling the
// view, with its group, caption and tags or its picture URL), and deletes the selected ones.
class frmPostManager final : public FormBase {
    Q_OBJECT
public:
    explicit frmPostManager(QWidget* parent = nullptr);
    ~frmPostManager() override;

    // False when the data folder could not be listed (the error was shown); exec() then
    // returns at once.
    bool Loaded() const { return m_loaded; }
    int exec() override;

    qint32 PressedIndex = 0;
    QMenu* mnuContextList = nullptr;
    QMenu* mnuContextPicture = nullptr;
    QAction* mnuPreview = nullptr;
    QAction* mnuDelete = nullptr;
    QAction* mnuBackToList = nullptr;

    // The picture the preview paints, as decoded for it.
    const QImage& PreviewPicture() const;

protected:
    bool KeyPreview(QKeyEvent* event);
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildMenus();
    void Refresh();
    void ShowPosts(PostPictures posts);
    void UpdateStatus();
    void ShowTotalSize(double bytes);
    // The sum of the sizes of the listed picture files, all counted on a worker thread.
    QFuture<double> GetTotalSize() const;
    void ListPainted();
    void CountTotalSize();
    void ShowPreview();
    void ShowList();
    void DeleteSelected();
    void SelectRow(int row);
    bool InPreview() const;
    bool ListMouseEvent(QMouseEvent* event);
    void ShowInfo(bool show);
    static void FrameLabel(QLabel* label, QWidget* frame);

    std::unique_ptr<Ui::frmPostManager> ui;
    QString m_folder;
    // The listing shown, with the pictures' sizes as far as known.
    FolderContents m_contents;
    QFutureWatcher<double> m_totalSize;
    bool m_listPainted = false;
    // Sizes shown came from the index, or are still being counted.
    bool m_countAgain = false;
    int m_anchorRow = -1;
    bool m_loaded = false;
};
