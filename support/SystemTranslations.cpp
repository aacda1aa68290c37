#include "SystemTranslations.h"

#include <QCoreApplication>
#include <QDebug>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace Quellon {

namespace {
bool load(const QString &catalogue)
{
    auto *translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(catalogue, SystemTranslations::folder()) && QCoreApplication::installTranslator(translator))
        return true;
    delete translator;
    return false;
}
} // namespace

QString SystemTranslations::folder()
{
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
}

bool SystemTranslations::installChinese()
{
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::SimplifiedChineseScript, QLocale::China));
    const bool base = load(QStringLiteral("qtbase_zh_CN"));
    if (!base)
        qWarning().noquote() << "Qt's Chinese texts (qtbase_zh_CN.qm) not found in" << folder();
    // The catalogue of every Qt module there is, for whatever the base one lacks.
    load(QStringLiteral("qt_zh_CN"));
    return base;
}

} // namespace Quellon
