#pragma once

#include <QString>
#include <QStringList>

namespace Quellon {

// Splits an SQL script into statements at semicolons outside quotes and
// comments; "--" comments are dropped, empty statements skipped.
QStringList splitSqlScript(const QString &script);

} // namespace Quellon
