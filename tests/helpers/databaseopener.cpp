// Opens (and if need be creates) House.db in a folder the way the program
// does at start, for tests that need a second program at the same moment.
//
//   database-opener FOLDER [--file-size-limit=BYTES]
//
// Prints "ready", waits for a line on stdin so that several copies can be let
// go together, then prints the outcome as "<OpenResult number> <message>".
// Exit code 0 when the database is open.

#include "Database.h"

#include <QCoreApplication>
#include <QTextStream>

#include <csignal>
#include <iostream>
#include <string>
#include <sys/resource.h>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2)
        return 2;
    for (const QString &arg : args.mid(2)) {
        if (arg.startsWith(QLatin1String("--file-size-limit="))) {
            // A disk that fills up half-way: writes past the limit fail
            // instead of ending the process.
            std::signal(SIGXFSZ, SIG_IGN);
            const rlim_t limit = arg.section(QLatin1Char('='), 1).toULongLong();
            const rlimit cap{limit, limit};
            setrlimit(RLIMIT_FSIZE, &cap);
        }
    }
    QTextStream out(stdout);
    out << "ready" << Qt::endl;
    std::string go;
    std::getline(std::cin, go);
    Quellon::Database dm;
    const Quellon::Database::OpenStatus status = dm.openDatabase(args.at(1), true);
    out << int(status.result) << ' ' << status.message << Qt::endl;
    return status.ok() ? 0 : 1;
}
