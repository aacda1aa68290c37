// quellon-demo N DIR [--seed S]: a new DIR/House.db with N generated houses and
// N/2 clients, for trying the program on a full office and for the benchmarks.

#include "DemoDataGenerator.h"
#include "Database.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

using namespace Quellon;

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("生成演示数据库：N 套房源、N/2 位客户及其跟进、成交和匹配记录。"));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("N"), QStringLiteral("房源数量"));
    parser.addPositionalArgument(QStringLiteral("DIR"), QStringLiteral("新数据库所在的文件夹"));
    const QCommandLineOption seedOption(QStringLiteral("seed"), QStringLiteral("随机种子，相同的种子得到相同的数据"),
                                        QStringLiteral("S"), QStringLiteral("1"));
    parser.addOption(seedOption);
    parser.process(app);

    const QStringList args = parser.positionalArguments();
    bool countOk = false;
    bool seedOk = false;
    const int houses = args.size() == 2 ? args[0].toInt(&countOk) : 0;
    const quint64 seed = parser.value(seedOption).toULongLong(&seedOk);
    if (!countOk || houses < 0 || !seedOk) {
        err << QStringLiteral("用法：quellon-demo 房源数量 文件夹 [--seed 种子]") << Qt::endl;
        return 2;
    }
    const QString folder = args[1];
    const QString file = QDir(folder).absoluteFilePath(Database::databaseFileName());
    if (QFileInfo::exists(file)) {
        err << QStringLiteral("“%1”已存在。演示数据只写入新建的数据库，请换一个文件夹或先移走该文件。")
                   .arg(QDir::toNativeSeparators(file))
            << Qt::endl;
        return 1;
    }

    QElapsedTimer timer;
    timer.start();
    Database dm;
    const Database::OpenStatus opened = dm.openDatabase(folder, true);
    if (!opened.ok()) {
        err << opened.message << Qt::endl;
        return 1;
    }
    DemoDataGenerator generator(dm, seed);
    int shownPercent = -1;
    generator.setProgress([&](int done, int total) {
        const int percent = total ? int(qint64(done) * 100 / total) : 100;
        if (percent != shownPercent) {
            shownPercent = percent;
            out << QStringLiteral("\r已写入 %1 / %2 条房源和客户（%3%）").arg(done).arg(total).arg(percent) << Qt::flush;
        }
        return true;
    });
    const DemoDataGenerator::Result result = generator.generate(houses);
    dm.closeDatabase();
    out << Qt::endl;
    if (result != DemoDataGenerator::Result::Done) {
        err << generator.errorText() << Qt::endl;
        // The file was made by this run and holds nothing of value.
        for (const QString &suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
            QFile::remove(file + suffix);
        return 1;
    }
    out << QStringLiteral("已生成 %1 套房源、%2 位客户：%3，用时 %4 秒")
               .arg(houses)
               .arg(houses / 2)
               .arg(QDir::toNativeSeparators(file))
               .arg(timer.elapsed() / 1000.0, 0, 'f', 1)
        << Qt::endl;
    return 0;
}
