#pragma once

#include <QString>
#include <functional>

namespace Quellon {

// The four kinds of message. The numbers are kept by callers that store or
// compare them, so they are fixed.
enum class MessageKind { Information = 0, Question = 1, Warning = 2, Error = 3 };
// The answer to a question: yes confirms. Other kinds answer None.
enum MessageAnswer { AnswerNone = 0, AnswerYes = 1, AnswerNo = 2 };

// Whatever shows the text and returns the answer. Logic code never touches a
// widget: the program installs a message-box presenter at start, tests install
// a recorder that answers from a queue.
using MessagePresenter = std::function<int(const QString &text, MessageKind kind)>;

// Shows a message of the given kind; for a question returns AnswerYes or
// AnswerNo, otherwise AnswerNone.
int showMessage(const QString &text, MessageKind kind);
// Asks a question; true only for a clear yes.
inline bool confirm(const QString &question)
{
    return showMessage(question, MessageKind::Question) == AnswerYes;
}

// Installs a presenter and returns the previous one.
MessagePresenter setMessagePresenter(MessagePresenter presenter);

} // namespace Quellon
