// The groups editor's "Get": the tumblelog fetch dialog above the button.
#include "creation/frmEditGroups.h"

void frmEditGroups::OpenFetchDialog([[maybe_unused]] const QPoint& getButtonTopLeft) {}
