#pragma once

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

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QLabel *m_status;
};

} // namespace Quellon
