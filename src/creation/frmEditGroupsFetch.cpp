// The groups editor's "Get": the tumblelog fetch dialog just above the button.
#include "creation/frmEditGroups.h"
#include "service/frmGetGroupsList.h"

void frmEditGroups::OpenFetchDialog(const QPoint& getButtonTopLeft) {
    frmGetGroupsList fetch(txtGroups, this);
    PlaceAboveGetButton(&fetch, getButtonTopLeft);
    fetch.exec();
}
