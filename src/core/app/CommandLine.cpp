#include "app/CommandLine.h"

#include "app/ProgramVersion.h"

#include <QTextStream>

namespace {

struct Option {
    const char* Name;
    void (*Act)(CommandLineRequest& request, QTextStream& out);
};

void PrintVersion(CommandLineRequest& request, QTextStream& out) {
    out << "marivane " << ProgramVersion() << '\n';
    request.ExitStatus = 0;
}

void PrintUsage(CommandLineRequest& request, QTextStream& out) {
    out << "Usage: marivane [--help | --version | --send [--quiet] [--resend-unanswered]]\n"
           "Opens the window that prepares picture posts; --version prints the version.\n"
           "\n"
           "  --send               send every waiting post without a window, with the saved\n"
           "                       settings; one line a post: \"sent <post> <link>\" or\n"
           "                       \"kept <post>: <reason>\", then the counts\n"
           "  --quiet              with --send: print only the posts that were kept\n"
           "  --resend-unanswered  with --send: also send posts whose last upload went\n"
           "                       unanswered (they may be on the blog already)\n"
           "\n"
           "Exit status of --send: 0 all posts sent; 1 some posts kept; 2 usage error;\n"
           "3 nothing could be tried (no account or sign-in, the sign-in needs a person,\n"
           "the data folder is in use by another send or cannot be read).\n"
           "The first SIGINT or SIGTERM stops the run (a post that went out whole waits for\n"
           "its answer); a second gives up at once.\n";
    request.ExitStatus = 0;
}

constexpr Option kOptions[] = {
    {"--help", PrintUsage},
    {"--version", PrintVersion},
    {"--send",
     [](CommandLineRequest& request, QTextStream&) {
         request.Send = true;
     }},
    {"--quiet",
     [](CommandLineRequest& request, QTextStream&) {
         request.Quiet = true;
     }},
    {"--resend-unanswered",
     [](CommandLineRequest& request, QTextStream&) {
         request.ResendUnanswered = true;
     }},
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
    if ((request.Quiet || request.ResendUnanswered) && !request.Send) {
        err << "marivane: --quiet and --resend-unanswered go with --send (try --help)\n";
        request.ExitStatus = kUsageError;
    }
    return request;
}
