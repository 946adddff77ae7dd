// The buttons of the creator window that open the batch, manage and send windows.
// Each opening makes a fresh window, so every use starts from what is stored.
#include "creation/frmBatch.h"
#include "creation/frmBatchURLs.h"
#include "creation/frmCreator.h"
#include "manage/frmPostManager.h"
#include "service/frmSender.h"

void frmCreator::OpenBatch() {
    OpenBatchOn(QString(), {});
}

void frmCreator::OpenBatchOn(const QString& folder, const QStringList& names) {
    ApplyTagsFromCaption(txtCaption, txtTags, chkTagsFromCaption);
    frmBatch batch(*this, this, folder);
    if (!names.isEmpty())
        batch.SelectOnly(names);
    batch.exec();
}

void frmCreator::OpenBatchURLs() {
    ApplyTagsFromCaption(txtCaption, txtTags, chkTagsFromCaption);
    frmBatchURLs urls(*this, this);
    urls.exec();
}

void frmCreator::OpenPostManager() {
    frmPostManager manager(this);
    manager.exec();
}

void frmCreator::OpenSender() {
    frmSender sender(this);
    sender.exec();
}
