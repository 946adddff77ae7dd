#pragma once

class QDialog;

// Tells the toolbar companion about a window while it is open: marked now, unmarked when it
// finishes or is deleted, whichever comes first.
void MarkOnToolbar(QDialog* window);
