#include "LogFile.h"

#include "FileMover.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QStandardPaths>

namespace Quellon {

namespace {
struct LogState
{
    QMutex mutex;
    QString path;
    qint64 maxBytes = 0;
    QtMessageHandler previous = nullptr;
    bool installed = false;
};

LogState &state()
{
    static LogState s;
    return s;
}

const char *levelName(QtMsgType type)
{
    switch (type) {
    case QtCriticalMsg:
        return "critical";
    case QtFatalMsg:
        return "fatal";
    default:
        return "warning";
    }
}

void append(QtMsgType type, const QString &text)
{
    LogState &s = state();
    QMutexLocker lock(&s.mutex);
    if (s.path.isEmpty())
        return;
    if (QFileInfo(s.path).size() >= s.maxBytes)
        FileMover::replace(s.path, s.path + QStringLiteral(".1"));
    QFile file(s.path);
    // Opened for every line: warnings are rare, and a second copy of the
    // program writing the same file appends between our lines, not over them.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return;
    const QString line = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")) + QLatin1Char(' ')
                         + QLatin1String(levelName(type)) + QStringLiteral(": ") + text + QLatin1Char('\n');
    file.write(line.toUtf8());
}

void handler(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type == QtWarningMsg || type == QtCriticalMsg || type == QtFatalMsg)
        append(type, text);
    QtMessageHandler previous = state().previous;
    if (previous)
        previous(type, context, text);
}
} // namespace

QString LogFile::defaultPath()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    return QDir(folder).filePath(fileName());
}

void LogFile::install(const QString &path, qint64 maxBytes)
{
    LogState &s = state();
    {
        QMutexLocker lock(&s.mutex);
        s.path = path;
        s.maxBytes = qMax<qint64>(maxBytes, 1024);
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (!s.installed) {
        s.previous = qInstallMessageHandler(handler);
        s.installed = true;
    }
}

void LogFile::uninstall()
{
    LogState &s = state();
    if (s.installed) {
        qInstallMessageHandler(s.previous);
        s.installed = false;
        s.previous = nullptr;
    }
    QMutexLocker lock(&s.mutex);
    s.path.clear();
}

QString LogFile::path()
{
    LogState &s = state();
    QMutexLocker lock(&s.mutex);
    return s.path;
}

} // namespace Quellon
