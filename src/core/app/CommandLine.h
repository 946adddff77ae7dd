#pragma once

#include <QStringList>
#include <optional>

class QTextStream;

// What the program's arguments ask for. An option that ends the program before any window
// opens sets ExitStatus; options that change how the program runs add fields here.
struct CommandLineRequest {
    std::optional<int> ExitStatus;
};

// Reads the arguments that follow the program's name; answers and errors go to `out` and `err`.
CommandLineRequest ParseCommandLine(const QStringList& arguments, QTextStream& out,
                                    QTextStream& err);
