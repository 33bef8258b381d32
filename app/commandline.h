#ifndef COMMANDLINE_H
#define COMMANDLINE_H

#include <optional>

class QCoreApplication;

// The program's command line: --profile NAME runs a station of its own
// on the same machine, with its own folder of files; --connect links every
// processor at start, as Connect does (a rack machine, the page's tests).
class CommandLine
{
public:
    struct Options
    {
        bool connect = false;
    };

    // Takes the options before any file is read; the exit code, with the
    // reason on stderr, for a command line that cannot be followed.
    static std::optional<int> apply(const QCoreApplication &app, Options *options);
};

#endif // COMMANDLINE_H
