#include "SchemaInstaller.h"

#include "SqlScript.h"

#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

namespace Quellon {

namespace {
struct Step
{
    int version;
    QStringList scripts;
};

// One entry per schema version; later versions append, never edit, a step.
const QList<Step> &steps()
{
    static const QList<Step> all = {
        {1, {QStringLiteral(":/sql/sqlite/001_schema.sql"), QStringLiteral(":/sql/sqlite/002_seed.sql")}},
        {2, {QStringLiteral(":/sql/sqlite/003_grid_layouts.sql")}},
    };
    return all;
}

bool runScript(QSqlDatabase db, const QString &resource, QString *error)
{
    QFile file(resource);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("script %1 missing from the program").arg(resource);
        return false;
    }
    const QString text = QString::fromUtf8(file.readAll());
    QSqlQuery q(db);
    for (const QString &statement : splitSqlScript(text)) {
        if (!q.exec(statement)) {
            if (error)
                *error = q.lastError().text() + QStringLiteral("\n") + statement.left(200);
            return false;
        }
    }
    return true;
}
} // namespace

int SchemaInstaller::currentVersion()
{
    return steps().constLast().version;
}

int SchemaInstaller::storedVersion(QSqlDatabase db)
{
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("PRAGMA user_version")) || !q.next())
        return -1;
    return q.value(0).toInt();
}

bool SchemaInstaller::looksLikeQuellonDatabase(QSqlDatabase db)
{
    QSqlQuery q(db);
    return q.exec(QStringLiteral("select count(*) from OperList")) && q.next();
}

bool SchemaInstaller::upgrade(QSqlDatabase db, QString *error)
{
    int version = storedVersion(db);
    if (version < 0) {
        if (error)
            *error = db.lastError().text();
        return false;
    }
    for (const Step &step : steps()) {
        if (step.version <= version)
            continue;
        if (!db.transaction()) {
            if (error)
                *error = db.lastError().text();
            return false;
        }
        bool ok = true;
        for (const QString &script : step.scripts) {
            if (!runScript(db, script, error)) {
                ok = false;
                break;
            }
        }
        QSqlQuery q(db);
        if (ok && !q.exec(QStringLiteral("PRAGMA user_version = %1").arg(step.version))) {
            ok = false;
            if (error)
                *error = q.lastError().text();
        }
        q.finish();
        if (!ok || !db.commit()) {
            if (ok && error)
                *error = db.lastError().text();
            db.rollback();
            return false;
        }
        version = step.version;
    }
    return true;
}

} // namespace Quellon
