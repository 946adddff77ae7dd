#pragma once

#include <QStringList>
#include <optional>

class QTextStream;

// What the program's arguments ask for. An option that ends the program before any window
// opens sets ExitStatus; options that change how the program runs add fields here.
struct CommandLineRequest {
    std::optional<int> ExitStatus;
    // Send every waiting post without a window, and end.
    bool Send = false;
    // With Send: print only the posts that were kept.
    bool Quiet = false;
    // With Send: also send posts whose last upload went unanswered.
    bool ResendUnanswered = false;
};

// The status of a command line the program does not understand, as getopt-based tools use.
inline constexpr int kUsageError = 2;

// Reads the arguments that follow the program's name; answers and errors go to `out` and `err`.
CommandLineRequest ParseCommandLine(const QStringList& arguments, QTextStream& out,
                                    QTextStream& err);
