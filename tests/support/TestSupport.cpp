#include "TestSupport.h"

namespace QuellonTest {

MessageRecorder::MessageRecorder()
{
    m_previous = Quellon::setMessagePresenter([this](const QString &text, int kind) {
        messages.append({kind, text});
        if (kind != Quellon::MessQuestion)
            return 0;
        return m_answers.isEmpty() ? int(Quellon::AnswerYes) : m_answers.takeFirst();
    });
}

MessageRecorder::~MessageRecorder()
{
    Quellon::setMessagePresenter(m_previous);
}

FixtureDatabase::FixtureDatabase()
    : m_dm(std::make_unique<Quellon::TdmData>())
{
    m_ok = m_dir.isValid() && m_dm->openDatabase(m_dir.path(), true).ok();
}

QString FixtureDatabase::file() const
{
    return m_dm->databaseFile();
}

} // namespace QuellonTest
