#include "SplashScreen.h"

#include "ProductInfo.h"

#include <QApplication>
#include <QEventLoop>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>
#include <QTimer>

namespace Quellon {

SplashScreen::SplashScreen(QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    m_shown.start();
    setObjectName(QStringLiteral("SplashScreen"));
    setWindowTitle(QStringLiteral("系统登录 splash 界面"));
    setFixedSize(470, 294);
    m_status = new QLabel(QStringLiteral("系统正在启动，请稍候 ....."), this);
    m_status->setObjectName(QStringLiteral("statusLabel"));
    m_status->setStyleSheet(QStringLiteral("color: white;"));
    m_status->setGeometry(14, 294 - 30, 440, 22);
    if (QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect r = rect();
        r.moveCenter(screen->availableGeometry().center());
        move(r.topLeft());
    }
}

void SplashScreen::setStatus(const QString &text)
{
    m_status->setText(text);
    m_status->repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

QString SplashScreen::status() const
{
    return m_status->text();
}

void SplashScreen::keepShownFor(int minimumMs)
{
    const qint64 left = minimumMs - m_shown.elapsed();
    if (left <= 0)
        return;
    // Waiting in an event loop, not asleep: the window repaints when it is
    // uncovered and the system does not take the program for hung.
    QEventLoop wait;
    QTimer::singleShot(int(left), Qt::PreciseTimer, &wait, &QEventLoop::quit);
    wait.exec(QEventLoop::ExcludeUserInputEvents);
}

void SplashScreen::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, height());
    sky.setColorAt(0, QColor(28, 86, 150));
    sky.setColorAt(1, QColor(10, 40, 80));
    p.fillRect(rect(), sky);

    // A row of house outlines along the bottom.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 40));
    const int base = height() - 44;
    for (int i = 0; i < 7; ++i) {
        const int x = 20 + i * 64;
        const int h = 40 + (i * 37) % 60;
        p.drawRect(x, base - h, 48, h);
        const QPolygon roof({QPoint(x - 6, base - h), QPoint(x + 24, base - h - 22), QPoint(x + 54, base - h)});
        p.drawPolygon(roof);
    }

    p.setPen(Qt::white);
    QFont title = font();
    title.setPointSize(20);
    title.setBold(true);
    p.setFont(title);
    p.drawText(QRect(0, 50, width(), 40), Qt::AlignHCenter, ProductInfo::name());
    QFont sub = font();
    sub.setPointSize(12);
    p.setFont(sub);
    p.drawText(QRect(0, 96, width(), 30), Qt::AlignHCenter, ProductInfo::edition());
    p.setPen(QColor(255, 255, 255, 120));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

} // namespace Quellon
