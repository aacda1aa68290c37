#pragma once

#include "Messages.h"
#include "TdmData.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace QuellonTest {

// Captures every ShowMess while alive and answers questions from a queue
// (1 = confirm when the queue is empty).
class MessageRecorder
{
public:
    MessageRecorder();
    ~MessageRecorder();

    void answerNext(int answer) { m_answers << answer; }
    QList<QPair<int, QString>> messages;

    int count() const { return int(messages.size()); }
    QString lastText() const { return messages.isEmpty() ? QString() : messages.constLast().second; }
    int lastKind() const { return messages.isEmpty() ? -1 : messages.constLast().first; }
    void clear() { messages.clear(); }

private:
    QList<int> m_answers;
    Quellon::MessagePresenter m_previous;
};

// A new database with schema and seed rows in a temporary folder, opened
// through a TdmData of its own.
class FixtureDatabase
{
public:
    FixtureDatabase();
    QString folder() const { return m_dir.path(); }
    QString file() const;
    Quellon::TdmData &dm() { return *m_dm; }
    bool isValid() const { return m_ok; }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<Quellon::TdmData> m_dm;
    bool m_ok = false;
};

} // namespace QuellonTest
