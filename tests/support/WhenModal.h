#pragma once

#include <QApplication>
#include <QObject>
#include <QTimer>

#include <functional>

namespace QuellonTest {

// Runs action on the next modal dialog of type T, from the event loop that the
// dialog's exec() runs; with no such dialog the action never runs. Keep the
// object alive until the dialog has closed.
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
            }
        });
        m_timer.start(10);
    }
    int seen = 0;

private:
    std::function<void(T *)> m_action;
    QTimer m_timer;
};

} // namespace QuellonTest
