#include "Messages.h"

#include <QDebug>

namespace Quellon {

namespace {
// Without a screen nobody can confirm anything, so a question is declined:
// the safe answer for "create this folder?" or "delete for good?".
int headlessPresenter(const QString &text, MessageKind kind)
{
    qWarning().noquote() << "[message kind" << int(kind) << "]" << text;
    return kind == MessageKind::Question ? AnswerNo : 0;
}

MessagePresenter &presenter()
{
    static MessagePresenter p = headlessPresenter;
    return p;
}
} // namespace

int showMessage(const QString &text, MessageKind kind)
{
    const int answer = presenter()(text, kind);
    if (kind != MessageKind::Question)
        return AnswerNone;
    // Some callers test for 1, others for "not 2": anything but a clear yes is a no.
    return answer == AnswerYes ? AnswerYes : AnswerNo;
}

MessagePresenter setMessagePresenter(MessagePresenter p)
{
    MessagePresenter old = presenter();
    presenter() = p ? std::move(p) : MessagePresenter(headlessPresenter);
    return old;
}

} // namespace Quellon
