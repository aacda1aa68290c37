#include "LoginSession.h"
#include "Messages.h"
#include "RecordActions.h"
#include "TestSupport.h"

#include <QtTest>

using namespace Quellon;
using QuellonTest::FixtureDatabase;
using QuellonTest::MessageRecorder;

// Who may copy or delete a house or client, what the window asks before a
// delete, and the move to the recycle bin against a second workstation.
class TestRecordActions : public QObject
{
    Q_OBJECT
private slots:
    void copyRefusal_data();
    void copyRefusal();
    void deleteRefusal_data();
    void deleteRefusal();
    void deleteQuestion();
    void moveToRecycleBin_data();
    void moveToRecycleBin();
};

namespace {
LoginSession operatorNamed(const QString &name)
{
    LoginSession session;
    session.operatorName = name;
    return session;
}
} // namespace

void TestRecordActions::copyRefusal_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("operatorName");
    QTest::addColumn<QString>("salesperson");
    QTest::addColumn<bool>("listEmpty");
    QTest::addColumn<QString>("refusal");
    const int houses = RecordActions::Houses;
    const int clients = RecordActions::Clients;
    QTest::newRow("house, own") << houses << "张三" << "张三" << false << "";
    QTest::newRow("house, own with blanks") << houses << "张三" << " 张三 " << false << "";
    QTest::newRow("house, colleague's") << houses << "张三" << "李四" << false << "此房产记录不是当前业务员的，您不能复制!";
    QTest::newRow("house, letter case") << houses << "obrien" << "OBrien" << false << "此房产记录不是当前业务员的，您不能复制!";
    QTest::newRow("house, nobody's") << houses << "张三" << "" << false << "此房产记录不是当前业务员的，您不能复制!";
    QTest::newRow("house, administrator") << houses << "Admin" << "李四" << false << "";
    QTest::newRow("house, empty list") << houses << "admin" << "" << true << "房源记录是空，不能复制！";
    QTest::newRow("client, colleague's") << clients << "张三" << "李四" << false << "此客户记录不是当前业务员的，您不能复制!";
    QTest::newRow("client, own") << clients << "张三" << "张三" << false << "";
    QTest::newRow("client, empty list") << clients << "张三" << "张三" << true << "客源记录是空，不能复制！";
}

void TestRecordActions::copyRefusal()
{
    QFETCH(int, kind);
    QFETCH(QString, operatorName);
    QFETCH(QString, salesperson);
    QFETCH(bool, listEmpty);
    QFETCH(QString, refusal);
    QCOMPARE(RecordActions(RecordActions::Kind(kind)).copyRefusal(operatorNamed(operatorName), salesperson, listEmpty), refusal);
}

void TestRecordActions::deleteRefusal_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("operatorName");
    QTest::addColumn<QString>("salesperson");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("house, own") << int(RecordActions::Houses) << "张三" << "张三 " << "";
    QTest::newRow("house, colleague's") << int(RecordActions::Houses) << "张三" << "李四" << "此房产记录不是当前业务员的，您不能删除!";
    QTest::newRow("house, administrator") << int(RecordActions::Houses) << "admin" << "李四" << "";
    QTest::newRow("client, letter case") << int(RecordActions::Clients) << "Zhang" << "zhang" << "此客户记录不是当前业务员的，您不能删除!";
    QTest::newRow("client, own") << int(RecordActions::Clients) << "Zhang" << "Zhang" << "";
}

void TestRecordActions::deleteRefusal()
{
    QFETCH(int, kind);
    QFETCH(QString, operatorName);
    QFETCH(QString, salesperson);
    QFETCH(QString, refusal);
    QCOMPARE(RecordActions(RecordActions::Kind(kind)).deleteRefusal(operatorNamed(operatorName), salesperson), refusal);
}

void TestRecordActions::deleteQuestion()
{
    QCOMPARE(RecordActions(RecordActions::Houses).deleteQuestion(QStringLiteral("幸福家园")),
             QStringLiteral("真的要删除物业名称为 “幸福家园”的房源记录吗？"));
    QCOMPARE(RecordActions(RecordActions::Clients).deleteQuestion(QStringLiteral("O'Brien")),
             QStringLiteral("真的要删除客户名称为 “O'Brien”的客户记录吗？"));
}

void TestRecordActions::moveToRecycleBin_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("house") << int(RecordActions::Houses);
    QTest::newRow("client") << int(RecordActions::Clients);
}

void TestRecordActions::moveToRecycleBin()
{
    QFETCH(int, kind);
    FixtureDatabase fixture;
    QVERIFY(fixture.isValid());
    Database &db = fixture.dm();
    // Record 1 and 2 live in both tables, 3 is in the recycle bin already.
    for (const QString &table : {QStringLiteral("House"), QStringLiteral("Client")}) {
        for (const int flag : {0, 0, 2})
            QVERIFY(db.execute(SqlFragment(QStringLiteral("insert into %1(F_code, F_flag) values('x', ?)").arg(table), {flag})));
    }
    const QString table = kind == RecordActions::Houses ? QStringLiteral("House") : QStringLiteral("Client");
    const QString other = kind == RecordActions::Houses ? QStringLiteral("Client") : QStringLiteral("House");
    const auto flags = [&](const QString &t) {
        QStringList items;
        db.readList(SqlFragment(QStringLiteral("select F_flag from %1 order by F_ID").arg(t)), items);
        return items.join(QLatin1Char(','));
    };
    const RecordActions actions{RecordActions::Kind(kind)};
    MessageRecorder messages;

    QVERIFY(actions.moveToRecycleBin(db, 1));
    QCOMPARE(messages.count(), 0);
    QCOMPARE(flags(table), QStringLiteral("2,0,2"));
    QCOMPARE(flags(other), QStringLiteral("0,0,2"));

    // Another workstation was first, or the record is gone: not done here.
    for (const qint64 id : {qint64(1), qint64(3), qint64(99)}) {
        messages.clear();
        QVERIFY(!actions.moveToRecycleBin(db, id));
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.lastKind(), int(MessageKind::Warning));
        QVERIFY(!messages.lastText().isEmpty());
    }
    QCOMPARE(flags(table), QStringLiteral("2,0,2"));
}

QTEST_GUILESS_MAIN(TestRecordActions)
#include "tst_recordactions.moc"
