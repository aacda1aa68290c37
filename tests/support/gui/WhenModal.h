#pragma once

#include <QApplication>
#include <QDialog>
#include <QObject>
#include <QTest>
#include <QTimer>

#include <functional>

namespace QuellonTest {

// Runs action on the next modal dialog of type T, from the event loop that the
// dialog's exec() runs; with no such dialog the action never runs. Keep the
// object alive until the dialog has closed.
// A check that fails inside the action (QVERIFY, QCOMPARE return from it)
// closes every modal dialog still open, so the test fails at once instead of
// hanging in exec() until the test's time runs out.
template<typename T>
class WhenModal : public QObject
{
public:
    explicit WhenModal(std::function<void(T *)> action) : m_action(std::move(action))
    {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            if (auto *dialog = qobject_cast<T *>(QApplication::activeModalWidget())) {
                m_timer.stop();
                ++seen;
                m_action(dialog);
                if (QTest::currentTestFailed())
                    closeModalDialogs();
            }
        });
        m_timer.start(10);
    }
    int seen = 0;

    static void closeModalDialogs()
    {
        while (QWidget *modal = QApplication::activeModalWidget()) {
            if (auto *dialog = qobject_cast<QDialog *>(modal))
                dialog->reject();
            else
                modal->close();
            if (QApplication::activeModalWidget() == modal)
                modal->hide();
        }
    }

private:
    std::function<void(T *)> m_action;
    QTimer m_timer;
};

} // namespace QuellonTest
