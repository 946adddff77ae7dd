#pragma once

// Shows the program's messages as real message boxes.
void InstallMessageBoxes();
