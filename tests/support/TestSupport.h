#pragma once

#include "Database.h"
#include "Messages.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace QuellonTest {

// Captures every message while alive. Questions are answered from a queue;
// a question nobody queued an answer for fails the running test (and is
// declined), so a new question in the code cannot slip through as a yes.
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
    // Answers queued but never asked for.
    int unusedAnswers() const { return int(m_answers.size()); }

private:
    QList<int> m_answers;
    Quellon::MessagePresenter m_previous;
};

// A new database with schema and seed rows in a temporary folder, opened
// through a Database of its own.
class FixtureDatabase
{
public:
    FixtureDatabase();
    QString folder() const { return m_dir.path(); }
    QString file() const;
    Quellon::Database &dm() { return *m_dm; }
    bool isValid() const { return m_ok; }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<Quellon::Database> m_dm;
    bool m_ok = false;
};

// Stores one node of a tree (flag "area" or "clttype") as the tree service would.
bool storeTreeNode(Quellon::Database &db, const QString &flag, const QString &code, const QString &name,
                   const QString &path);

} // namespace QuellonTest
