#include "GridLayoutNames.h"
#include "GridLayoutStore.h"
#include "TestSupport.h"

#include <QtTest>

using namespace Quellon;
using QuellonTest::FixtureDatabase;
using QuellonTest::MessageRecorder;

// Saved column layouts, read and written without a grid.
class TestGridLayoutStore : public QObject
{
    Q_OBJECT
private slots:
    void shippedLayoutsLoad_data();
    void shippedLayoutsLoad();
    void failedSaveChangesNothing();
};

void TestGridLayoutStore::shippedLayoutsLoad_data()
{
    QTest::addColumn<QString>("layout");
    for (const QString &name : {GridLayoutNames::HouseMain, GridLayoutNames::ClientMain, GridLayoutNames::HouseRecycleBin,
                                GridLayoutNames::ClientRecycleBin, GridLayoutNames::HouseFollowUpReminders,
                                GridLayoutNames::HouseDealReminders, GridLayoutNames::ClientFollowUpReminders,
                                GridLayoutNames::HouseFollowUps, GridLayoutNames::HouseDeals, GridLayoutNames::HouseMatches,
                                GridLayoutNames::ClientFollowUps, GridLayoutNames::ClientMatches, GridLayoutNames::HousePicker,
                                GridLayoutNames::ClientPicker, GridLayoutNames::HouseFollowUpStatistics,
                                GridLayoutNames::HouseDealStatistics, GridLayoutNames::ClientFollowUpStatistics,
                                GridLayoutNames::MatchStatistics})
        QTest::newRow(qPrintable(name)) << name;
}

void TestGridLayoutStore::shippedLayoutsLoad()
{
    // Every name the program asks for has its columns in a new database,
    // whatever the letter case the program spells it in.
    QFETCH(QString, layout);
    FixtureDatabase db;
    MessageRecorder messages;
    GridLayoutStore store(db.dm());
    const GridColumns columns = store.load(layout);
    QVERIFY(!columns.isEmpty());
    QCOMPARE(store.load(layout.toUpper()).size(), columns.size());
    QCOMPARE(messages.count(), 0);
}

void TestGridLayoutStore::failedSaveChangesNothing()
{
    FixtureDatabase db;
    Database &dm = db.dm();
    GridLayoutStore store(dm);
    GridColumns columns = store.load(GridLayoutNames::HouseMain);
    QVERIFY(columns.size() > 4);
    const GridColumns before = columns;
    // The fourth column cannot be written, as when the disk fills up or
    // another program holds the file half-way through.
    QVERIFY(dm.execute(QStringLiteral("create trigger refuse before update on cfg_grid when new.F_fieldname = '%1' "
                                      "begin select raise(abort, 'refused'); end")
                           .arg(columns.at(3).field)));
    std::reverse(columns.begin(), columns.end());
    for (GridColumn &c : columns)
        c.width += 33;
    MessageRecorder messages;
    QVERIFY(!store.save(GridLayoutNames::HouseMain, columns));
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.lastKind(), int(MessageKind::Error));
    QCOMPARE(dm.transactionDepth(), 0);
    // Not one column moved or changed width: the layout is the one saved before.
    const GridColumns after = store.load(GridLayoutNames::HouseMain);
    QCOMPARE(after.size(), before.size());
    for (int i = 0; i < before.size(); ++i) {
        QCOMPARE(after.at(i).field, before.at(i).field);
        QCOMPARE(after.at(i).width, before.at(i).width);
    }
}

QTEST_GUILESS_MAIN(TestGridLayoutStore)
#include "tst_gridlayoutstore.moc"
