#pragma once

#include <QString>
#include <functional>

namespace Quellon {

// The four kinds every caller passes to ShowMess. The numbers are part of the
// contract: callers compare the answer of a question with 1 (confirm) or 2.
enum MessKind { MessInfo = 0, MessQuestion = 1, MessWarning = 2, MessError = 3 };
enum MessAnswer { AnswerYes = 1, AnswerNo = 2 };

// Whatever shows the text and returns the answer. Logic code never touches a
// widget: the program installs a message-box presenter at start, tests install
// a recorder that answers from a queue.
using MessagePresenter = std::function<int(const QString &text, int kind)>;

// Shows a message of the given kind; for a question returns 1 or 2, otherwise 0.
int ShowMess(const QString &text, int kind);

// Installs a presenter and returns the previous one.
MessagePresenter setMessagePresenter(MessagePresenter presenter);

} // namespace Quellon
