#pragma once

// False when the session bus address names a unix socket that does not answer the first step
// of a D-Bus greeting within the time; true otherwise. A bus that takes a connection but never
// answers would hold D-Bus, and with it the end of the program, for good.
bool SessionBusAnswers(int timeoutMs);
// The same check with a quarter of a second, made once for the life of the process, for what
// the program only tells the desktop.
bool SessionBusAnswersOnce();
