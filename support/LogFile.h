#pragma once

#include <QString>

namespace Quellon {

// The program's log: warnings and worse, with the time, appended to one file
// that whoever supports the office can ask for. Message boxes tell the agent
// what happened in Chinese; the engine's own words and the statement that
// failed are kept here. Everything still goes to the previous handler
// (stderr) as well.
class LogFile
{
public:
    static QString fileName() { return QStringLiteral("quellon.log"); }
    // quellon.log in the user's local data folder of the program.
    static QString defaultPath();

    // Installs the message handler. When the file grows past maxBytes it is
    // renamed to "<name>.1", replacing the older one, and a new file begins,
    // so the log never takes more than about twice maxBytes.
    static void install(const QString &path, qint64 maxBytes = 1024 * 1024);
    // Restores the handler that was there before install().
    static void uninstall();
    // The file written to; empty when none is installed.
    static QString path();
};

} // namespace Quellon
