#include "db/cipher.h"

#include "testdirs.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace fichora;

namespace {

using test::readAll;
using test::writeAll;

QByteArray sampleData(qsizetype size)
{
    QByteArray b(size, '\0');
    QRandomGenerator gen(size);
    for (qsizetype i = 0; i < size; ++i)
        b[i] = static_cast<char>(gen.bounded(256));
    if (size >= 14)
        b.replace(0, 14, "<?xml version=");
    return b;
}

} // namespace

class TestCipher : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path(const QString& name) const { return m_dir.filePath(name); }

    /// Ciphers `plain` under `key` with cheap parameters and returns the ciphered file's path.
    QString cipherSample(const QByteArray& plain, const QByteArray& key = "abc123")
    {
        const QString plainPath = path(QStringLiteral("in.xml"));
        const QString cipherPath = path(QStringLiteral("in.cip"));
        writeAll(plainPath, plain);
        const auto r = cipher::cipherFile(plainPath, cipherPath, key, cipher::fastKdfParams());
        if (!r)
            qWarning() << r.error().message;
        return cipherPath;
    }

private Q_SLOTS:
    void roundTripsEveryChunkBoundary_data()
    {
        QTest::addColumn<int>("size");
        QTest::newRow("empty") << 0;
        QTest::newRow("one byte") << 1;
        QTest::newRow("just below a chunk") << 65535;
        QTest::newRow("exactly a chunk") << 65536;
        QTest::newRow("just above a chunk") << 65537;
        QTest::newRow("several chunks") << 200003;
    }
    void roundTripsEveryChunkBoundary()
    {
        QFETCH(int, size);
        const QByteArray plain = sampleData(size);
        const QString cipherPath = cipherSample(plain);
        const QByteArray ciphered = readAll(cipherPath);
        QVERIFY(cipher::isCipheredFile(cipherPath));
        QVERIFY(!ciphered.contains("<?xml version="));
        QCOMPARE(ciphered.size(),
                 cipher::kHeaderSize + plain.size() + 17 * qMax<qsizetype>(1, (plain.size() + 65535) / 65536));

        const QString outPath = path(QStringLiteral("out.xml"));
        QVERIFY(cipher::decipherFile(cipherPath, outPath, "abc123").has_value());
        QCOMPARE(readAll(outPath), plain);
        QCOMPARE(QFile::permissions(outPath) & ~(QFileDevice::ReadUser | QFileDevice::WriteUser),
                 QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }

    void everySaveHasFreshSaltAndHeader()
    {
        const QByteArray plain = sampleData(1000);
        const QByteArray first = readAll(cipherSample(plain));
        const QByteArray second = readAll(cipherSample(plain));
        QCOMPARE(first.left(24), second.left(24)); // magic and parameters
        QVERIFY(first.mid(24, 40) != second.mid(24, 40));
        QVERIFY(first.mid(cipher::kHeaderSize) != second.mid(cipher::kHeaderSize));
    }

    void wrongKeyIsToldApartFromDamage_data()
    {
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<int>("damageAt");   // byte to flip, -1 none
        QTest::addColumn<int>("truncateTo"); // new length, -1 none
        QTest::addColumn<int>("expected");
        const int wrong = int(Error::Code::WrongKey);
        const int damaged = int(Error::Code::Damaged);
        QTest::newRow("other key") << QByteArray("abc124") << -1 << -1 << wrong;
        QTest::newRow("other case") << QByteArray("ABC123") << -1 << -1 << wrong;
        QTest::newRow("flipped salt byte") << QByteArray("abc123") << 30 << -1 << wrong;
        QTest::newRow("flipped first chunk byte") << QByteArray("abc123") << 200 << -1 << damaged;
        QTest::newRow("flipped last chunk byte") << QByteArray("abc123") << 70000 << -1 << damaged;
        QTest::newRow("cut inside a chunk") << QByteArray("abc123") << -1 << 70000 << damaged;
        QTest::newRow("cut at a chunk boundary") << QByteArray("abc123") << -1 << 96 + 65536 + 17 << damaged;
        QTest::newRow("cut inside the header") << QByteArray("abc123") << -1 << 50 << damaged;
        QTest::newRow("only the header") << QByteArray("abc123") << -1 << 96 << damaged;
        QTest::newRow("extra bytes after the end") << QByteArray("abc123") << -2 << -1 << damaged;
    }
    void wrongKeyIsToldApartFromDamage()
    {
        QFETCH(QByteArray, key);
        QFETCH(int, damageAt);
        QFETCH(int, truncateTo);
        QFETCH(int, expected);
        const QString cipherPath = cipherSample(sampleData(80000));
        QByteArray ciphered = readAll(cipherPath);
        if (damageAt >= 0)
            ciphered[damageAt] = static_cast<char>(ciphered.at(damageAt) ^ 0x01);
        if (damageAt == -2)
            ciphered.append("junk");
        if (truncateTo >= 0)
            ciphered.truncate(truncateTo);
        writeAll(cipherPath, ciphered);

        // A plain file already there must survive a failed deciphering, and no new one may appear.
        const QString outPath = path(QStringLiteral("existing.xml"));
        writeAll(outPath, "previous content");
        const auto r = cipher::decipherFile(cipherPath, outPath, key);
        QVERIFY(!r.has_value());
        QCOMPARE(int(r.error().code), expected);
        QCOMPARE(readAll(outPath), QByteArray("previous content"));
        QVERIFY(!QFile::exists(path(QStringLiteral("fresh.xml"))));
        QVERIFY(!cipher::decipherFile(cipherPath, path(QStringLiteral("fresh.xml")), key).has_value());
        QVERIFY(!QFile::exists(path(QStringLiteral("fresh.xml"))));
    }

    void refusesFilesThatAreNotOurs()
    {
        const QString plainPath = path(QStringLiteral("plain.xml"));
        writeAll(plainPath, sampleData(500));
        QVERIFY(!cipher::isCipheredFile(plainPath));
        const auto r = cipher::decipherFile(plainPath, path(QStringLiteral("x.xml")), "abc123");
        QVERIFY(!r.has_value());
        QCOMPARE(r.error().code, Error::Code::Format);
        const auto missing =
            cipher::decipherFile(path(QStringLiteral("none.cip")), path(QStringLiteral("x.xml")), "a1");
        QCOMPARE(missing.error().code, Error::Code::NotFound);
    }

    void failedCipheringKeepsThePreviousCipheredFile()
    {
        const QString cipherPath = cipherSample(sampleData(1000));
        const QByteArray before = readAll(cipherPath);
        const auto r =
            cipher::cipherFile(path(QStringLiteral("missing.xml")), cipherPath, "abc123", cipher::fastKdfParams());
        QCOMPARE(r.error().code, Error::Code::NotFound);
        QCOMPARE(readAll(cipherPath), before);
        writeAll(path(QStringLiteral("in.xml")), "x");
        QVERIFY(!cipher::cipherFile(path(QStringLiteral("in.xml")), path(QStringLiteral("no/such/dir/a.cip")), "a1",
                                    cipher::fastKdfParams()));
    }

    void keyRule_data()
    {
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<bool>("digit");
        QTest::addColumn<bool>("letter");
        QTest::newRow("empty") << QByteArray() << false << false;
        QTest::newRow("letters only") << QByteArray("abcdef") << false << true;
        QTest::newRow("digits only") << QByteArray("123456") << true << false;
        QTest::newRow("two characters") << QByteArray("a1") << true << true;
        QTest::newRow("upper case") << QByteArray("Z9") << true << true;
        QTest::newRow("accent and space mark nothing") << QByteArray("\xE9 1") << true << false;
        QTest::newRow("digit past the sixth byte") << QByteArray("abcdef1") << false << true;
    }
    void keyRule()
    {
        QFETCH(QByteArray, key);
        QFETCH(bool, digit);
        QFETCH(bool, letter);
        const cipher::KeyCheck check = cipher::checkKey(key);
        QCOMPARE(check.digitSeen, digit);
        QCOMPARE(check.letterSeen, letter);
        QCOMPARE(check.acceptable(), digit && letter);
    }

    void onlyTheFirstSixBytesOfTheKeyCount()
    {
        const QString cipherPath = cipherSample(sampleData(100), "abc123XYZ");
        QVERIFY(cipher::decipherFile(cipherPath, path(QStringLiteral("o.xml")), "abc123").has_value());
        QCOMPARE(cipher::keyFingerprint("abc123XYZ"), cipher::keyFingerprint("abc123"));
        QVERIFY(cipher::keyFingerprint("abc123") != cipher::keyFingerprint("Abc123"));
        QVERIFY(cipher::keyFingerprint("abc123") != cipher::keyFingerprint("abc12"));
        QVERIFY(!cipher::keyFingerprint("abc123").contains("abc123"));
    }

    void storedParametersAreUsedForDeciphering()
    {
        // The parameters travel with the file: a file made with stronger ones still opens.
        const QString plainPath = path(QStringLiteral("p.xml"));
        writeAll(plainPath, sampleData(100));
        const cipher::KdfParams strong{3, cipher::fastKdfParams().memLimit * 4};
        QVERIFY(cipher::cipherFile(plainPath, path(QStringLiteral("p.cip")), "k1", strong).has_value());
        const QByteArray head = readAll(path(QStringLiteral("p.cip"))).left(24);
        QCOMPARE(head.at(8), '\x03');
        QVERIFY(cipher::decipherFile(path(QStringLiteral("p.cip")), path(QStringLiteral("q.xml")), "k1").has_value());
        QCOMPARE(readAll(path(QStringLiteral("q.xml"))), readAll(plainPath));
    }
};

QTEST_GUILESS_MAIN(TestCipher)
#include "tst_cipher.moc"
