#include "FileMover.h"

#include <QFile>
#include <QtGlobal>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#else
#include <filesystem>
#include <system_error>
#endif

namespace Quellon {

namespace {
bool fail(QString *error, const QString &why)
{
    if (error)
        *error = why;
    return false;
}

#ifdef Q_OS_UNIX
QString systemError(const char *what, const QString &path)
{
    return QStringLiteral("%1 %2: %3").arg(QLatin1String(what), path, QString::fromLocal8Bit(std::strerror(errno)));
}
#endif
} // namespace

FileMover::Result FileMover::moveUnlessExists(const QString &source, const QString &target, QString *error)
{
#ifdef Q_OS_UNIX
    const QByteArray from = QFile::encodeName(source);
    const QByteArray to = QFile::encodeName(target);
    // A hard link is made only when the name is free, which the system decides
    // in one step; QFile::rename looks first and moves after, and falls back
    // to copying over whatever appeared in between.
    if (::link(from.constData(), to.constData()) == 0) {
        if (::unlink(from.constData()) != 0)
            fail(error, systemError("unlink", source));
        return Result::Moved;
    }
    if (errno == EEXIST)
        return Result::TargetExists;
    const QString linkError = systemError("link", target);
#if defined(RENAME_NOREPLACE)
    // Some network shares and FAT disks have no hard links.
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return Result::Moved;
    if (errno == EEXIST)
        return Result::TargetExists;
    fail(error, linkError + QStringLiteral("; ") + systemError("renameat2", target));
#else
    fail(error, linkError);
#endif
    return Result::Failed;
#else
    // Elsewhere a rename refuses an existing target by itself.
    if (QFile::rename(source, target))
        return Result::Moved;
    if (QFile::exists(target))
        return Result::TargetExists;
    fail(error, QStringLiteral("rename %1 to %2 failed").arg(source, target));
    return Result::Failed;
#endif
}

bool FileMover::replace(const QString &source, const QString &target, QString *error)
{
#ifdef Q_OS_UNIX
    if (::rename(QFile::encodeName(source).constData(), QFile::encodeName(target).constData()) == 0)
        return true;
    return fail(error, systemError("rename", target));
#else
    std::error_code code;
    std::filesystem::rename(source.toStdWString(), target.toStdWString(), code);
    if (!code)
        return true;
    return fail(error, QString::fromStdString(code.message()));
#endif
}

namespace {
// Flushes what the system holds of a file or a folder (its entries) to the disk.
bool flushPath(const QString &path, int extraFlags, QString *error)
{
#ifdef Q_OS_UNIX
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | extraFlags);
    if (fd < 0)
        return fail(error, systemError("open", path));
    const bool ok = ::fsync(fd) == 0;
    if (!ok)
        fail(error, systemError("fsync", path));
    ::close(fd);
    return ok;
#else
    // Only the POSIX build flushes; elsewhere the system writes back on its own.
    Q_UNUSED(path);
    Q_UNUSED(extraFlags);
    Q_UNUSED(error);
    return true;
#endif
}
} // namespace

bool FileMover::flushFile(const QString &path, QString *error)
{
    return flushPath(path, 0, error);
}

bool FileMover::flushFolder(const QString &path, QString *error)
{
#ifdef Q_OS_UNIX
    return flushPath(path, O_DIRECTORY, error);
#else
    return flushPath(path, 0, error);
#endif
}

} // namespace Quellon
