#pragma once

#include <QString>

namespace Quellon {

// Puts a finished file under its final name so that the name only ever holds
// a whole file: after a crash, a power cut or a second program doing the same
// at the same moment. The file is written under a name of its own first,
// flushed, and then moved here.
class FileMover
{
public:
    enum class Result { Moved, TargetExists, Failed };

    // Moves source to target unless target exists, in one step: of two
    // programs moving to the same name at once exactly one gets Moved, and
    // the other's source is left where it was. error receives the system's
    // text, for the log.
    static Result moveUnlessExists(const QString &source, const QString &target, QString *error = nullptr);

    // Moves source over target in one step: the name holds the old file or
    // the new one, never nothing and never a part.
    static bool replace(const QString &source, const QString &target, QString *error = nullptr);

    // Writes what the system still holds of the file, or of the folder's list
    // of names, to the disk.
    static bool flushFile(const QString &path, QString *error = nullptr);
    static bool flushFolder(const QString &path, QString *error = nullptr);
};

} // namespace Quellon
