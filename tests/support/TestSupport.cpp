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

} // namespace QuellonTest
