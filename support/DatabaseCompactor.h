#pragma once

#include <QString>

namespace Quellon {

// Compacts and checks an SQLite database file in place. The caller closes its
// own connection first and reopens it afterwards. Returns false when the file
// cannot be opened, fails its integrity check or cannot be rewritten; the file
// is left as it was in that case, *error says why in Chinese and the engine's
// words go to the log.
bool compactDatabase(const QString &databaseFile, QString *error = nullptr);

} // namespace Quellon
