#include <QSettings>
#include <QTemporaryDir>
#include <stdexcept>
#include <vector>

#include "foundation/Version.h"
#include "foundation/ZAlgo.h"
#include "support/testenv.h"

class TstAlgo : public QObject
{
    Q_OBJECT

private:
    static QString writeNotes(const QTemporaryDir& dir, const QByteArray& text)
    {
        const QString path = dir.filePath("notes.ini");
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(text);
        return path;
    }

private slots:
    void checksums()
    {
        std::vector<quint8> bytes(300);
        quint8 expectXor = 0;
        for (int i = 0; i < 300; ++i) {
            bytes[i] = quint8(i * 7 + 3);
            expectXor ^= bytes[i];
        }
        QCOMPARE(ZAlgo::calcXor8(bytes.data(), 300), expectXor);
        // The last byte counts: dropping it changes the result.
        QCOMPARE(ZAlgo::calcXor8(bytes.data(), 299), quint8(expectXor ^ bytes[299]));
        QCOMPARE(ZAlgo::calcXor8(bytes.data(), 0), quint8(0));
        QCOMPARE(ZAlgo::calcXor8(bytes.data(), -4), quint8(0));

        const quint8 wrap[] = {0xFF, 0x02};
        QCOMPARE(ZAlgo::calcCheckSum8(wrap, 2), quint8(0x01));
        QCOMPARE(ZAlgo::calcCheckSum8(wrap, 0), quint8(0));

        std::vector<quint8> ff(1000, 0xFF);
        QCOMPARE(ZAlgo::calcSum(ff.data(), 1000), quint64(255000));
        QCOMPARE(ZAlgo::calcSum(ff.data(), 0), quint64(0));
        // Beyond 16 bits the 64-bit sum keeps counting.
        std::vector<quint8> big(70000, 0xFF);
        QCOMPARE(ZAlgo::calcSum(big.data(), 70000), quint64(70000) * 255);
    }

    void checksumInFrame()
    {
        quint8 two[] = {0x12, 0x34};
        ZAlgo::updateCheckSum8(two, 2);
        QCOMPARE(two[0], quint8(0x12));
        QCOMPARE(two[1], quint8(0x34));
        ZAlgo::updateCheckSum8(nullptr, 10); // must not crash

        quint8 frame[] = {0x55, 0x00, 0x10, 0x00};
        ZAlgo::updateCheckSum8(frame, 4);
        QCOMPARE(frame[3], quint8(0x65));
        QVERIFY(ZAlgo::verifyCheckSum8(frame, 4));
        frame[1] = 0x01; // a corrupted byte
        QVERIFY(!ZAlgo::verifyCheckSum8(frame, 4));

        const quint8 same[] = {0x07, 0x07};
        QVERIFY(!ZAlgo::verifyCheckSum8(same, 2));
        QVERIFY(!ZAlgo::verifyCheckSum8(nullptr, 5));
        const quint8 three[] = {0x01, 0x02, 0x03};
        QVERIFY(ZAlgo::verifyCheckSum8(three, 3));
    }

    void versionParsing()
    {
        QCOMPARE(versionFromString("4.10.2"), QVersionNumber(4, 10, 2));
        QCOMPARE(versionFromString("4..1"), QVersionNumber(4, 0, 1));
        QCOMPARE(versionFromString(""), QVersionNumber(0));
        QCOMPARE(versionFromString("2.x.5"), QVersionNumber(2, 0, 5));

        QStringList list{"4.11.0", "4.9.1", "1.2", "4.10.0", "4.9.10"};
        sortVersions(list);
        QCOMPARE(list, (QStringList{"1.2", "4.9.1", "4.9.10", "4.10.0", "4.11.0"}));

        QCOMPARE(extractVersion("firmware V3 build 12 version 1.2.3 from 2024"), QString("1.2.3"));
        QCOMPARE(extractVersion("node_fw_10.4.20.bin"), QString("10.4.20"));
        QCOMPARE(extractVersion("release 42 only"), QString());
        QCOMPARE(extractVersion(""), QString());
    }

    void releaseNotes_data()
    {
        QTest::addColumn<QString>("lower");
        QTest::addColumn<QString>("upper");
        QTest::addColumn<QStringList>("versions");
        QTest::newRow("above lower") << "1.1" << "" << QStringList{"1.10", "1.2"};
        QTest::newRow("lower and upper") << "1.1" << "1.2" << QStringList{"1.2"};
        QTest::newRow("no bounds") << "" << "" << QStringList{"1.10", "1.2", "1.1", "1.0"};
        QTest::newRow("upper only") << "" << "1.1" << QStringList{"1.1", "1.0"};
        QTest::newRow("nothing newer") << "1.10" << "" << QStringList{};
    }

    void releaseNotes()
    {
        QFETCH(QString, lower);
        QFETCH(QString, upper);
        QFETCH(QStringList, versions);
        QTemporaryDir dir;
        // English (the current language) is picked over Chinese and the first group.
        const QString path = writeNotes(dir, "[Chinese]\n1.0=zh\n[English]\n1.0=first\n1.1=second\n1.2=third\n1.10=tenth\n");
        QSettings notes(path, QSettings::IniFormat);
        const QString text = releaseNotesText(notes, QVersionNumber::fromString(lower), QVersionNumber::fromString(upper));
        const QMap<QString, QString> values{{"1.0", "first"}, {"1.1", "second"}, {"1.2", "third"}, {"1.10", "tenth"}};
        QString expected;
        for (const QString& v : versions)
            expected += QString("[v%1]\n%2\n***********************************\n").arg(v, values.value(v));
        QCOMPARE(text, expected);
        QVERIFY(notes.group().isEmpty()); // the group is left again
    }

    void releaseNotesGroupChoice()
    {
        QTemporaryDir dir;
        QSettings chinese(writeNotes(dir, "[Alpha]\n2.0=a\n[Chinese]\n2.0=c\n"), QSettings::IniFormat);
        QVERIFY(releaseNotesText(chinese, {}, {}).contains("\nc\n"));
        QTemporaryDir dir2;
        QSettings other(writeNotes(dir2, "[Beta]\n3.0=b\n[Gamma]\n3.0=g\n"), QSettings::IniFormat);
        QVERIFY(releaseNotesText(other, {}, {}).contains("\nb\n"));
        QTemporaryDir dir3;
        QSettings none(writeNotes(dir3, ""), QSettings::IniFormat);
        QCOMPARE(releaseNotesText(none, {}, {}), QString());
    }

    void latestVersion()
    {
        QTemporaryDir dir;
        // Numeric per part: text order would pick 4.9.1.
        const QString path = writeNotes(dir, "[stable]\n4.9.1=a\n4.10.0=b\n[beta]\n4.11.0=c\n[legacy]\n4.2.0=d\n");
        QCOMPARE(latestVersionOf(path), QVersionNumber(4, 11, 0));
        QTemporaryDir empty;
        QVERIFY(latestVersionOf(writeNotes(empty, "")).isNull());

        // The shipped notes give the program's version; the second call is the cached one.
        const QVersionNumber v = readLatestVersion();
        QCOMPARE(v, latestVersionOf(":/talmeno/releasenotes_zh.txt"));
        QVERIFY(!v.isNull());
        QCOMPARE(readLatestVersion(), v);
    }

    void scopeGuard()
    {
        QStringList trace;
        {
            ZScopeGuard guard([&] { trace << "enter"; }, [&] { trace << "exit"; });
            QCOMPARE(trace, QStringList{"enter"});
            trace << "body";
        }
        QCOMPARE(trace, (QStringList{"enter", "body", "exit"}));

        trace.clear();
        try {
            ZScopeGuard guard([&] { trace << "enter"; }, [&] { trace << "exit"; });
            throw std::runtime_error("leave early");
        } catch (const std::runtime_error&) {
            trace << "caught";
        }
        QCOMPARE(trace, (QStringList{"enter", "exit", "caught"}));

        bool exited = false;
        QVERIFY_EXCEPTION_THROWN(ZScopeGuard(std::function<void()>(), [&] { exited = true; }), std::bad_function_call);
        QVERIFY(!exited); // a guard that never started does not run its exit
    }
};

TALMENO_TEST_MAIN(TstAlgo)
#include "tst_algo.moc"
