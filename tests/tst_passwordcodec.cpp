#include "PasswordCodec.h"

#include <QtTest>

using namespace Quellon;

class TestPassCodec : public QObject
{
    Q_OBJECT
private slots:
    void roundTrip_data();
    void roundTrip();
    void rejectsWhatItDidNotWrite_data();
    void rejectsWhatItDidNotWrite();
};

void TestPassCodec::roundTrip_data()
{
    QTest::addColumn<QString>("plain");
    QTest::newRow("empty") << QString();
    QTest::newRow("ascii") << QStringLiteral("secret");
    QTest::newRow("blanks kept") << QStringLiteral("  a b  ");
    QTest::newRow("chinese") << QStringLiteral("密码123");
    QTest::newRow("quote") << QStringLiteral("O'Brien");
    QTest::newRow("longest") << QString(MaxPasswordLength, QChar(0x5BC6));
}

void TestPassCodec::roundTrip()
{
    QFETCH(QString, plain);
    const QString stored = encodePassword(plain);
    QVERIFY(stored.size() <= 255);
    QVERIFY(!stored.contains(plain) || plain.size() < 2);
    bool ok = false;
    QCOMPARE(decodePassword(stored, &ok), plain);
    QVERIFY(ok);
}

void TestPassCodec::rejectsWhatItDidNotWrite_data()
{
    QTest::addColumn<QString>("stored");
    QTest::newRow("empty column") << QString();
    QTest::newRow("plain text") << QStringLiteral("secret");
    QTest::newRow("bad base64") << QStringLiteral("QK1$***");
    QTest::newRow("non-latin") << QStringLiteral("QK1$密码");
}

void TestPassCodec::rejectsWhatItDidNotWrite()
{
    QFETCH(QString, stored);
    bool ok = true;
    QCOMPARE(decodePassword(stored, &ok), QString());
    QVERIFY(!ok);
}

QTEST_GUILESS_MAIN(TestPassCodec)
#include "tst_passwordcodec.moc"
