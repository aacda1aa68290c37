#pragma once

#include "Messages.h"

#include <QString>

namespace Quellon {

// Routes showMessage to modal message boxes. Installed once by the program.
void installMessageBoxPresenter();

// The message box itself, for callers that want it directly.
int showMessageBox(const QString &text, MessageKind kind);

} // namespace Quellon
