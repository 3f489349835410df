// NMEA 0183 sentences through the real frame search and processor: checksum rules,
// sentences cut anywhere across reads, and the page showing the newest sentence.

#include "support/testenv.h"

#include "helpers/FrameFixture.h"
#include "helpers/TestCapture.h"
#include "model/ResourceItems.h"
#include "products/trelvan/TrelvanRegistration.h"
#include "products/trelvan/tools/ProtocolNmea0183.h"
#include "protocol/ProtocolFactory.h"
#include "protocol/ProtocolFrameExtraction.h"
#include "sim/NmeaStream.h"

#include <QLabel>
#include <QRandomGenerator>

#include <memory>

using Trelvan::ProtocolNmea0183Base;
using Trelvan::ProtocolNmea0183Manager;
using Trelvan::WidgetNmea0183Base;

namespace {

// The sentence with its checksum written by hand in the given case.
QByteArray sentence(const QByteArray& body, bool lower = false)
{
    quint8 x = 0;
    for (char c : body)
        x ^= quint8(c);
    QByteArray hex = QByteArray::number(x, 16).rightJustified(2, '0');
    return "$" + body + "*" + (lower ? hex.toLower() : hex.toUpper()) + "\r\n";
}

} // namespace

class TestNmea0183 : public QObject
{
    Q_OBJECT

private:
    TestTrelvan::FrameFixture fx;
    QList<ProtocolBase*> all;
    ProtocolNmea0183Base* gga = nullptr;
    ProtocolNmea0183Base* gsa = nullptr;
    ProtocolNmea0183Base* rmc = nullptr;

    ProtocolNmea0183Base* byType(const QString& type)
    {
        return type == "GPGGA" ? gga : type == "GPGSA" ? gsa : rmc;
    }
    void drain()
    {
        for (ProtocolBase* p : all)
            static_cast<ProtocolNmea0183Base*>(p)->queue.takeAll();
    }
    std::unique_ptr<WidgetNmea0183Base> page(ProtocolNmea0183Base* p)
    {
        DataResourceItem* item = p->dataItem();
        if (!item || !item->factory())
            return nullptr;
        return std::unique_ptr<WidgetNmea0183Base>(
            static_cast<WidgetNmea0183Base*>(item->factory()->create(item, nullptr)));
    }
    QStringList texts(const WidgetNmea0183Base& w)
    {
        QStringList out;
        for (QLabel* l : w.valueLabels())
            out << l->text();
        return out;
    }

private slots:
    void initTestCase()
    {
        fx.setUp(this);
        TestTrelvan::setCurrentManager(fx.flatPage);
        ProtocolFactory::clearRegistrations();
        Trelvan::registerProtocols();
        ProtocolFactory::createProtocols(ProtocolFactory::kSentenceGroup, this);
        all = ProtocolNmea0183Manager::protocols();
        QCOMPARE(all.size(), 3);
        gga = static_cast<ProtocolNmea0183Base*>(all[0]);
        gsa = static_cast<ProtocolNmea0183Base*>(all[1]);
        rmc = static_cast<ProtocolNmea0183Base*>(all[2]);
    }
    void cleanupTestCase() { fx.tearDown(); }
    void init()
    {
        fx.reset();
        drain();
    }

    void checksumRules_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("accepted");
        const QByteArray body = "GPGGA,A,B";
        const QByteArray good = sentence(body);
        QTest::newRow("lower-case hex") << sentence(body, true) << true;
        QTest::newRow("empty fields") << sentence("GPGGA,,,B,") << true;
        QByteArray wrong = good;
        wrong[wrong.size() - 3] = wrong[wrong.size() - 3] == '0' ? '1' : '0';
        QTest::newRow("checksum differs") << wrong << false;
        QTest::newRow("not hex") << QByteArray("$GPGGA,A,B*G1\r\n") << false;
        QByteArray sign = good;
        sign[sign.size() - 4] = '+';
        QTest::newRow("sign for a digit") << sign << false;
        QByteArray blank = good;
        blank[blank.size() - 4] = ' ';
        QTest::newRow("blank for a digit") << blank << false;
        QTest::newRow("no star") << QByteArray("$GPGGA,A,B,") + good.right(4) << false;
        QTest::newRow("changed field") << QByteArray(good).replace(",A,", ",C,") << false;
        QTest::newRow("longer than 82") << sentence("GPGGA," + QByteArray(80, '1')) << false;
    }
    void checksumRules()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, accepted);
        // The checksum alone; a sentence past 82 characters is not waited for at all.
        if (bytes.size() <= 82)
            QCOMPARE(ProtocolNmea0183Base::checkSentence(bytes.constData(), bytes.size()), accepted);
        // Followed by a good sentence: only that one, or both, come through.
        const QByteArray next = sentence("GPGGA,next");
        fx.feed(bytes + next);
        const auto records = gga->queue.takeAll();
        QCOMPARE(records.size(), accepted ? 2 : 1);
        QCOMPARE(records.last()->join(','), QString("GPGGA,next"));
        if (accepted)
            QCOMPARE(records.first()->join(','), QString::fromLatin1(bytes.mid(1, bytes.size() - 6)));
    }

    void splitAnywhere_data()
    {
        QTest::addColumn<int>("mode"); // 0: one byte per read, 1: random chunks
        QTest::newRow("one byte per read") << 0;
        QTest::newRow("random chunks") << 1;
    }
    void splitAnywhere()
    {
        QFETCH(int, mode);
        const int epochs = 60;
        const QByteArray stream = sim::nmeaStream(epochs, 7);
        QRandomGenerator rng(42);
        for (int at = 0; at < stream.size();) {
            const int n = mode == 0 ? 1 : 1 + int(rng.bounded(40));
            fx.feed(stream.mid(at, n));
            at += n;
        }
        const int corrupted = epochs / 7;
        QCOMPARE(gga->queue.size(), epochs);
        QCOMPARE(rmc->queue.size(), epochs);
        const auto gsaRecords = gsa->queue.takeAll();
        QCOMPARE(gsaRecords.size(), epochs - corrupted);
        for (const auto& r : gsaRecords) {
            QCOMPARE(r->size(), 18);
            QVERIFY(!r->contains("BAD"));
        }
        const auto ggaRecords = gga->queue.takeAll();
        QVERIFY(!ggaRecords.isEmpty());
        QCOMPARE(*ggaRecords.last(), ProtocolNmea0183Base::splitSentence(sim::nmeaEpoch(epochs - 1, false).split('\n')[0] + '\n'));
    }

    void pageShowsTheNewest()
    {
        if (!gga->dataItem()) { // run alone: the first sentence makes the items
            fx.feed(sentence("GPGGA,1"));
            drain();
        }
        auto w = page(gga);
        QVERIFY(w);

        // A full sentence first, then A,B: the other rows keep their text.
        fx.feed(sentence("GPGGA,1,2,3,4,5,6,7,8,9,10,11,12,13,14"));
        w->refresh();
        QCOMPARE(texts(*w).join('|'), QString("GPGGA|1|2|3|4|5|6|7|8|9|10|11|12|13|14"));
        fx.feed(sentence("GPGGA,A,B"));
        w->refresh();
        QCOMPARE(texts(*w).mid(0, 4), (QStringList{"GPGGA", "A", "B", "3"}));

        // Empty fields give empty values; two sentences in one period: the second.
        fx.feed(sentence("GPGGA,first") + sentence("GPGGA,,,x"));
        w->refresh();
        QCOMPARE(texts(*w).mid(0, 5), (QStringList{"GPGGA", "", "", "x", "4"}));

        // More fields than names: the first ones.
        QByteArray many = "GPGGA";
        for (int i = 1; i <= 20; ++i)
            many += "," + QByteArray::number(i * 10);
        fx.feed(sentence(many));
        w->refresh();
        QCOMPARE(texts(*w).last(), QString("140"));

        // A clear request empties every value until the next sentence.
        fx.feed(sentence("GPGGA,dropped"));
        gga->dataItem()->clear();
        w->refresh();
        QCOMPARE(texts(*w), QVector<QString>(15).toList());
        fx.feed(sentence("GPGGA,again"));
        w->refresh();
        QCOMPARE(texts(*w).mid(0, 3), (QStringList{"GPGGA", "again", ""}));
    }
};

TALMENO_TEST_MAIN(TestNmea0183)
#include "tst_nmea0183.moc"
