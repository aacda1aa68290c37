#pragma once

#include <QString>

namespace Quellon {

// Reversible encoding of operator passwords as kept in OperList.F_PassWord.
// Reversible on purpose: the operator window shows the stored password to the
// administrator. It keeps passwords from being read at a glance, nothing more.

// Encodes a plain password. The result is plain ASCII.
QString encodePassword(const QString &plain);

// Decodes a stored password. A text that is not in the stored form yields an
// empty result and *ok = false, so that a damaged row never passes for the
// empty password.
QString decodePassword(const QString &stored, bool *ok = nullptr);

// The longest plain password (in characters of any script) whose stored form
// fits the 255 characters of the column.
constexpr int MaxPasswordLength = 60;

} // namespace Quellon
