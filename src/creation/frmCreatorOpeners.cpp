// The buttons of the creator window that open the batch, manage and send windows.
#include "creation/frmCreator.h"

void frmCreator::OpenBatch() {
    ApplyTagsFromCaption(txtCaption, txtTags, chkTagsFromCaption);
}

void frmCreator::OpenBatchURLs() {
    ApplyTagsFromCaption(txtCaption, txtTags, chkTagsFromCaption);
}

void frmCreator::OpenPostManager() {}

void frmCreator::OpenSender() {}
