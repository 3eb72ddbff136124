#include "platform/cp1252.h"

#include <QTest>

using namespace fichora;

class TestCp1252 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyByteRoundTrips()
    {
        QByteArray all;
        for (int i = 0; i < 256; ++i)
            all.append(static_cast<char>(i));
        QCOMPARE(cp1252::fromUnicode(cp1252::toUnicode(all)), all);
    }

    void decodesTheHighHalf_data()
    {
        QTest::addColumn<int>("byte");
        QTest::addColumn<int>("codePoint");
        QTest::newRow("euro") << 0x80 << 0x20AC;
        QTest::newRow("oe ligature") << 0x9C << 0x0153;
        QTest::newRow("right single quote") << 0x92 << 0x2019;
        QTest::newRow("e acute") << 0xE9 << 0x00E9;
        QTest::newRow("nbsp") << 0xA0 << 0x00A0;
    }
    void decodesTheHighHalf()
    {
        QFETCH(int, byte);
        QFETCH(int, codePoint);
        const char b = static_cast<char>(byte);
        QCOMPARE(cp1252::toUnicode(QByteArray(1, b)), QString(QChar(codePoint)));
        QCOMPARE(cp1252::fromUnicode(QString(QChar(codePoint))), QByteArray(1, b));
    }

    void unmappableCharactersAreReplaced()
    {
        QCOMPARE(cp1252::fromUnicode(QStringLiteral("a\u4e2db")), QByteArray("a?b"));
        QCOMPARE(cp1252::fromUnicode(QString::fromUcs4(U"x\U0001F600y")), QByteArray("x?y"));
    }

    void caseFoldingKeepsAccentsApart()
    {
        QCOMPARE(cp1252::toLower(0xC9), 0xE9); // É → é
        QCOMPARE(cp1252::toLower(0x8C), 0x9C); // Œ → œ
        QCOMPARE(cp1252::toLower('E'), 'e');
        QVERIFY(cp1252::toLower(0xE9) != 'e');
        QCOMPARE(cp1252::toUpper(0xFF), 0x9F); // ÿ → Ÿ
        QCOMPARE(cp1252::toLower(0xD7), 0xD7); // × has no case
        QCOMPARE(cp1252::toUpper(0xDF), 0xDF); // ß stays
    }
};

QTEST_GUILESS_MAIN(TestCp1252)
#include "tst_cp1252.moc"
