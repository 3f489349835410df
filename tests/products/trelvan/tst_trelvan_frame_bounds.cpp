// Random frames in buffers of exactly their size (a read past the end fails under the
// address sanitizer): fitting ones decode whole, others drop whole with one debug line.

#include "support/testenv.h"

#include "helpers/FrameFixture.h"
#include "helpers/TestCapture.h"
#include "model/ResourceItems.h"
#include "products/trelvan/protocols/ProtocolNodeFrame1.h"
#include "products/trelvan/protocols/ProtocolNodeFrame3.h"
#include "products/trelvan/protocols/ProtocolTagFrame0.h"

#include <QRandomGenerator>

#include <functional>
#include <vector>

using namespace Trelvan;

namespace {
struct Kind
{
    DataFrameProtocol* protocol;
    int fixedPart;  // bytes before the records; the count is its last byte
    int recordSize; // 0: a fixed frame without records
    std::function<int()> queued;
    std::function<int(bool)> takeNodes; // takes the queue; answers the newest's record count
    std::function<int()> dropped;
    std::function<double()> voltage; // the voltage item's newest value
};

template <typename P>
Kind variableKind(P* p)
{
    return Kind{p, P::kFixedPart, P::kRecordSize, [p] { return p->queue.size(); },
                [p](bool) {
                    const auto all = p->queue.takeAll();
                    return all.isEmpty() ? -1 : all.last()->nodes.size();
                },
                [p] { return p->droppedFrames; }, [p] { return p->voltageItem->lastValue(); }};
}
} // namespace

class TestTrelvanFrameBounds : public QObject
{
    Q_OBJECT

    TestTrelvan::FrameFixture fx;
    QMap<QString, Kind> kinds;

private slots:
    void initTestCase()
    {
        fx.setUp(this);
        TestTrelvan::setCurrentManager(fx.fullPage);
        ProtocolTagFrame0* tag = ProtocolTagFrame0::instance(this);
        kinds.insert("tag frame 0", Kind{tag, ProtocolTagFrame0::kFrameLength, 0, [tag] { return tag->queue.size(); },
                                         [tag](bool) { return tag->queue.takeAll().size() - 1; }, [] { return 0; },
                                         [tag] { return tag->voltageItem->lastValue(); }});
        kinds.insert("node frame 1", variableKind(ProtocolNodeFrame1::instance(this)));
        kinds.insert("node frame 3", variableKind(ProtocolNodeFrame3::instance(this)));
        for (const Kind& k : kinds)
            k.protocol->processFrame(QByteArray(k.fixedPart + 1, '\0')); // registers its items
        for (const Kind& k : kinds)
            k.takeNodes(true);
    }
    void cleanupTestCase() { fx.tearDown(); }

    void randomFramesNeverReadPastTheirEnd_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<quint32>("seed");
        for (const char* kind : {"tag frame 0", "node frame 1", "node frame 3"})
            for (quint32 seed : {1u, 2u, 3u})
                QTest::addRow("%s seed %u", kind, seed) << QString(kind) << seed;
    }

    void randomFramesNeverReadPastTheirEnd()
    {
        QFETCH(QString, kind);
        QFETCH(quint32, seed);
        const Kind k = kinds.value(kind);
        QVERIFY(k.protocol);
        QRandomGenerator rng(seed);
        int decoded = 0, refused = 0;
        for (int round = 0; round < 150; ++round) {
            // Lengths from far too short to a few records past what the count needs.
            // Counts mostly near what the lengths hold, now and then any byte.
            const int count = int(rng.bounded(8) ? rng.bounded(14) : rng.bounded(256));
            const int span = k.recordSize ? k.recordSize * int(rng.bounded(12)) : 0;
            const int length = k.recordSize ? int(rng.bounded(k.fixedPart + 1 + span + 5)) + 1
                                            : (rng.bounded(4) ? k.fixedPart : int(rng.bounded(k.fixedPart)));
            std::vector<char> buffer(static_cast<size_t>(length));
            for (char& c : buffer)
                c = char(rng.bounded(256));
            if (k.recordSize && length >= k.fixedPart) {
                buffer[size_t(k.fixedPart - 1)] = char(count);
                // Few distinct nodes, so the test makes few items.
                for (int at = k.fixedPart; at + 1 < length; at += k.recordSize) {
                    buffer[size_t(at)] = char(rng.bounded(3));
                    buffer[size_t(at + 1)] = char(rng.bounded(8));
                }
            }
            const int droppedBefore = k.dropped();
            const double voltageBefore = k.voltage();
            const int itemsBefore = k.protocol->lineCollector()->items().size();
            TestTrelvan::clearLog();
            // No copy: the parser sees exactly `length` bytes of heap.
            k.protocol->processFrame(QByteArray::fromRawData(buffer.data(), length));
            const bool fits = k.recordSize ? length >= k.fixedPart + 1 &&
                                                 k.fixedPart + count * k.recordSize <= length - 1
                                           : length == k.fixedPart;
            const int queued = k.queued();
            const int nodes = k.takeNodes(true); // before the buffer goes: records share it
            if (fits) {
                QCOMPARE(queued, 1);
                QCOMPARE(nodes, k.recordSize ? count : 0);
                ++decoded;
            } else {
                QCOMPARE(queued, 0);
                QCOMPARE(k.voltage(), voltageBefore);
                QCOMPARE(k.protocol->lineCollector()->items().size(), itemsBefore);
                if (k.recordSize && length >= k.fixedPart + 1) {
                    QCOMPARE(k.dropped(), droppedBefore + 1);
                    QCOMPARE(TestTrelvan::logLines("reaches past the frame").size(), 1);
                }
                ++refused;
            }
        }
        QVERIFY2(decoded > 5 && refused > 5, qPrintable(QString("%1 decoded, %2 refused").arg(decoded).arg(refused)));
    }
};

TALMENO_TEST_MAIN(TestTrelvanFrameBounds)
#include "tst_trelvan_frame_bounds.moc"
