#include "TestSupport.h"

#include <QTest>

namespace QuellonTest {

MessageRecorder::MessageRecorder()
{
    m_previous = Quellon::setMessagePresenter([this](const QString &text, Quellon::MessageKind kind) {
        messages.append({int(kind), text});
        if (kind != Quellon::MessageKind::Question)
            return int(Quellon::AnswerNone);
        if (m_answers.isEmpty()) {
            QTest::qFail(qPrintable(QStringLiteral("unexpected question: ") + text), __FILE__, __LINE__);
            return int(Quellon::AnswerNo);
        }
        return m_answers.takeFirst();
    });
}

MessageRecorder::~MessageRecorder()
{
    Quellon::setMessagePresenter(m_previous);
}

FixtureDatabase::FixtureDatabase()
    : m_dm(std::make_unique<Quellon::Database>())
{
    m_ok = m_dir.isValid() && m_dm->openDatabase(m_dir.path(), true).ok();
}

QString FixtureDatabase::file() const
{
    return m_dm->databaseFile();
}

bool storeTreeNode(Quellon::Database &db, const QString &flag, const QString &code, const QString &name,
                   const QString &path)
{
    return db.execute(Quellon::SqlFragment(QStringLiteral("insert into t_treecode(F_code,F_name,F_likecode,F_flag) values(?,?,?,?)"),
                                           {code, name, path, flag}));
}

} // namespace QuellonTest
