#include "app/CommandLine.h"

#include "app/ProgramVersion.h"

#include <QTextStream>

namespace {

// The status of a command line the program does not understand, as getopt-based tools use.
constexpr int kUsageError = 2;

struct Option {
    const char* Name;
    void (*Act)(CommandLineRequest& request, QTextStream& out);
};

void PrintVersion(CommandLineRequest& request, QTextStream& out) {
    out << "marivane " << ProgramVersion() << '\n';
    request.ExitStatus = 0;
}

void PrintUsage(CommandLineRequest& request, QTextStream& out) {
    out << "Usage: marivane [--help | --version]\n"
           "Opens the window that prepares picture posts; --version prints the version.\n";
    request.ExitStatus = 0;
}

constexpr Option kOptions[] = {
    {"--help", PrintUsage},
    {"--version", PrintVersion},
};

} // namespace

CommandLineRequest ParseCommandLine(const QStringList& arguments, QTextStream& out,
                                    QTextStream& err) {
    CommandLineRequest request;
    for (const QString& argument : arguments) {
        const Option* known = nullptr;
        for (const Option& option : kOptions) {
            if (argument == QLatin1String(option.Name))
                known = &option;
        }
        if (!known) {
            err << "marivane: unknown argument '" << argument << "' (try --help)\n";
            request.ExitStatus = kUsageError;
            return request;
        }
        known->Act(request, out);
        if (request.ExitStatus)
            return request;
    }
    return request;
}
