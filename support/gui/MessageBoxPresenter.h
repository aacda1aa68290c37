#pragma once

#include <QString>

namespace Quellon {

// Routes ShowMess to modal message boxes. Installed once by the program.
void installMessageBoxPresenter();

// The message box itself, for callers that want it directly.
int showMessageBox(const QString &text, int kind);

} // namespace Quellon
