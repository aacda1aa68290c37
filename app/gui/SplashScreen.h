#pragma once

#include <QElapsedTimer>
#include <QWidget>

class QLabel;

namespace Quellon {

// The start-up window: a picture and one line of progress.
class SplashScreen : public QWidget
{
    Q_OBJECT
public:
    explicit SplashScreen(QWidget *parent = nullptr);

    // Sets the progress line and paints it at once: start-up blocks the event loop.
    void setStatus(const QString &text);
    QString status() const;
    // Returns once the splash has been up for minimumMs since it was made,
    // running the event loop meanwhile so that it keeps painting.
    void keepShownFor(int minimumMs);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QLabel *m_status;
    QElapsedTimer m_shown;
};

} // namespace Quellon
