// The frame search on direct passes: split, joined, corrupt and overlapping
// frames, heads shared between protocols, tail-delimited sentences and what is
// kept between passes, the same frames from a stream however it is cut, and how
// soon decoding resumes after a false head or a damaged length field.

#include "support/testenv.h"

#include "helpers/PipelineEnv.h"
#include "helpers/TestProtocols.h"
#include "protocol/ProtocolDataProcessor.h"
#include "protocol/ProtocolFrameExtraction.h"
#include "protocol/ProtocolSystem.h"
#include "products/sarvel/RangeParameterProtocol.h"
#include "products/sarvel/SarvelProtocolFrame0.h"
#include "products/trelvan/config/ProtocolParameter.h"
#include "products/trelvan/protocols/AoaProtocolParameter.h"
#include "products/trelvan/protocols/ProtocolAnchorFrame0.h"
#include "products/trelvan/protocols/ProtocolErrorFrame0.h"
#include "products/trelvan/protocols/ProtocolNodeFrame0.h"
#include "products/trelvan/protocols/ProtocolNodeFrame2.h"
#include "products/trelvan/protocols/ProtocolNodeFrame4.h"
#include "products/trelvan/tools/ProtocolNmea0183.h"
#include "products/uwbana/UwbAnaProtocols.h"
#include "sim/AnalyserSimulator.h"
#include "sim/TrelvanScenario.h"

#include <QRandomGenerator>
#include <memory>
#include <vector>

using Queued = QList<QPair<QString, QByteArray>>;

// The stream in chunks of the sizes given one after the other.
template <typename NextSize>
QList<QByteArray> split(const QByteArray& stream, NextSize nextSize)
{
    QList<QByteArray> chunks;
    for (int pos = 0; pos < stream.size();) {
        const int n = nextSize();
        chunks.append(stream.mid(pos, n));
        pos += n;
    }
    return chunks;
}

class TestFrameExtraction : public QObject
{
    Q_OBJECT

private:
    ProtocolFrameExtraction* ex = nullptr;
    std::vector<std::unique_ptr<ProtocolBase>> owned;

    template <typename P, typename... A>
    P* make(A&&... args)
    {
        auto p = std::make_unique<P>(std::forward<A>(args)...);
        P* raw = p.get();
        owned.push_back(std::move(p));
        raw->setActive(true);
        return raw;
    }

    Queued feedChunks(const QList<QByteArray>& chunks)
    {
        for (const QByteArray& c : chunks) {
            ex->appendData(c);
            ex->extractFrames();
        }
        return testenv::takeQueued();
    }
    Queued feed(const QByteArray& bytes) { return feedChunks(QList<QByteArray>{bytes}); }
    Queued feed(const char* bytes) = delete;

    // Takes a product protocol's singleton for the test's lifetime and activates it.
    template <typename P>
    P* adopt(P* p)
    {
        owned.emplace_back(p);
        p->setActive(true);
        return p;
    }

private slots:
    void initTestCase()
    {
        ex = ProtocolFrameExtraction::instance();
        QVERIFY(!ex->isEnabled());
    }

    void init()
    {
        ex->clearBuffers();
        testenv::takeQueued();
    }

    void cleanup()
    {
        owned.clear();
        QVERIFY(ProtocolBase::activeProtocols().isEmpty());
    }

    void frameSplitAnywhereIsFoundOnce()
    {
        make<FixedProtocol>("sys", QByteArray("\x52\x00", 2), 32);
        const QByteArray f = frames::fixed(QByteArray("\x52\x00", 2), 32, 7, "\x52");
        for (int cut = 1; cut < f.size(); ++cut) {
            ex->clearBuffers();
            const Queued q = feedChunks({f.left(cut), f.mid(cut)});
            QCOMPARE(q.size(), 1);
            QCOMPARE(q[0].second, f);
        }
        // The first head byte alone at the end of a read survives the pass.
        ex->clearBuffers();
        QVERIFY(feed(QByteArray(10, '\x11') + f.left(1)).isEmpty());
        QCOMPARE(ex->remainder(), f.left(1));
        const Queued q = feed(f.mid(1));
        QCOMPARE(q.size(), 1);
        QCOMPARE(q[0].second, f);
    }

    void framesBackToBackKeepTheirOrder()
    {
        make<FixedProtocol>("a", QByteArray("\x55\x01"), 20);
        make<LengthFieldProtocol>("b", QByteArray("\x54\x02"), 6);
        const QByteArray a1 = frames::fixed("\x55\x01", 20, 1, "\x55\x54");
        const QByteArray b1 = frames::lengthField("\x54\x02", 41, 2, "\x55\x54");
        const QByteArray a2 = frames::fixed("\x55\x01", 20, 3, "\x55\x54");
        const Queued q = feed(a1 + b1 + a2);
        QCOMPARE(q.size(), 3);
        QCOMPARE(q[0], qMakePair(QString("a"), a1));
        QCOMPARE(q[1], qMakePair(QString("b"), b1));
        QCOMPARE(q[2], qMakePair(QString("a"), a2));
        QVERIFY(ex->remainder().isEmpty());
    }

    void badChecksumThenGoodFrame()
    {
        make<FixedProtocol>("a", QByteArray("\x55\x01"), 20);
        QByteArray bad = frames::fixed("\x55\x01", 20, 4, "\x55");
        bad[19] = static_cast<char>(bad[19] + 1);
        const QByteArray good = frames::fixed("\x55\x01", 20, 5, "\x55");
        const Queued q = feed(bad + good);
        QCOMPARE(q.size(), 1);
        QCOMPARE(q[0].second, good);
        QVERIFY(ex->remainder().isEmpty());
        // A bad frame alone leaves only what may begin a head.
        QVERIFY(feed(bad).isEmpty());
        QCOMPARE(ex->remainder(), bad.right(1));
    }

    void incompleteCandidateHoldsLaterFrames()
    {
        make<LengthFieldProtocol>("len", QByteArray("\x54\x02"), 6);
        make<FixedProtocol>("a", QByteArray("\x55\x01"), 20);
        // A head whose length field promises far more than follows: the good frame
        // behind it waits, since the head may yet be the frame that contains it ...
        const QByteArray stray = QByteArray("\x54\x02\x00\x02", 4) + QByteArray(5, '\x10');
        const QByteArray good = frames::fixed("\x55\x01", 20, 6, "\x55\x54");
        QVERIFY(feed(stray + good).isEmpty());
        QCOMPARE(ex->remainder(), stray + good);
        // ... until no byte has come for a while: then the head is given up.
        Queued q;
        QTRY_VERIFY_WITH_TIMEOUT((ex->extractFrames(), q += testenv::takeQueued(), !q.isEmpty()), 5000);
        QCOMPARE(q.size(), 1);
        QCOMPARE(q[0].second, good);
        QVERIFY(ex->remainder().size() <= 1);
        // Alone, the incomplete candidate is kept from its head on, and completes later.
        const QByteArray whole = frames::lengthField("\x54\x02", 60, 9, "\x55\x54");
        QVERIFY(feed(QByteArray(3, '\x01') + whole.left(30)).isEmpty());
        QCOMPARE(ex->remainder(), whole.left(30));
        const Queued q2 = feed(whole.mid(30));
        QCOMPARE(q2.size(), 1);
        QCOMPARE(q2[0].second, whole);

        // A reader whose thread is busy past the quiet time (this thread, not
        // returning to its loop) with the rest of the frame waiting in the port: the
        // frame is held until the reader has answered, then read whole.
        QObject reader;
        bool restWaits = true;
        int answers = 0;
        ex->setReader(&reader, [&] { return ++answers, restWaits; });
        QVERIFY(feed(whole.left(30)).isEmpty());
        QThread::msleep(ProtocolFrameExtraction::kIdleGiveUpMs + 150);
        // Answered twice that bytes wait, the search still holds the frame.
        QTRY_VERIFY_WITH_TIMEOUT((ex->extractFrames(), answers >= 2), 5000);
        QVERIFY(testenv::takeQueued().isEmpty());
        QCOMPARE(ex->remainder(), whole.left(30));
        ex->appendData(whole.mid(30)); // the reader's turn reads it
        restWaits = false;
        Queued q3;
        QTRY_VERIFY_WITH_TIMEOUT((ex->extractFrames(), q3 += testenv::takeQueued(), !q3.isEmpty()), 5000);
        QCOMPARE(q3.size(), 1);
        QCOMPARE(q3[0].second, whole);
        // A quiet line still gives a held candidate up, once the reader says so.
        QVERIFY(feed(stray + good).isEmpty());
        Queued q4;
        QTRY_VERIFY_WITH_TIMEOUT((ex->extractFrames(), q4 += testenv::takeQueued(), !q4.isEmpty()), 5000);
        QCOMPARE(q4.size(), 1);
        QCOMPARE(q4[0].second, good);
        ex->setReader(nullptr, {});
    }

    void overlappingCandidates()
    {
        // Two active protocols with one head: the shorter is tried first and wins
        // when it verifies; otherwise the longer one.
        auto* shortP = make<FixedProtocol>("short", QByteArray("\x54\x00", 2), 16);
        auto* longP = make<FixedProtocol>("long", QByteArray("\x54\x00", 2), 32);
        QByteArray both = frames::fixed(QByteArray("\x54\x00", 2), 16, 11, "\x54");
        both += QByteArray(15, '\x33');
        both.append(static_cast<char>(frames::sum8(both, 31)));
        QCOMPARE(both.size(), 32);
        QVERIFY(frames::sum8(both, 15) == static_cast<quint8>(both[15]));
        Queued q = feed(both);
        QCOMPARE(q.size(), 1);
        QCOMPARE(q[0].first, QString("short"));
        QCOMPARE(q[0].second, both.left(16));

        QByteArray onlyLong = both;
        onlyLong[15] = static_cast<char>(onlyLong[15] + 1);
        onlyLong[31] = static_cast<char>(frames::sum8(onlyLong, 31));
        q = feed(onlyLong);
        QCOMPARE(q.size(), 1);
        QCOMPARE(q[0].first, QString("long"));
        QCOMPARE(q[0].second, onlyLong);
        Q_UNUSED(shortP);
        Q_UNUSED(longP);

        // A head inside a verified frame is part of it, not a frame of its own.
        make<FixedProtocol>("inner", QByteArray("\x57\x03"), 8);
        const QByteArray inner = frames::fixed("\x57\x03", 8, 13, "\x54\x57");
        QByteArray outer = QByteArray("\x54\x00", 2) + QByteArray(4, '\x01') + inner + QByteArray(17, '\x02');
        outer.append(static_cast<char>(frames::sum8(outer, 31)));
        QCOMPARE(outer.size(), 32);
        q = feed(outer);
        QCOMPARE(q.size(), 1);
        QCOMPARE(q[0].first, QString("long"));
    }

    void sameHeadSearchesOnlyTheActiveProtocol()
    {
        auto* p16 = make<FixedProtocol>("p16", QByteArray("\x54\x00", 2), 16);
        auto* p32 = make<FixedProtocol>("p32", QByteArray("\x54\x00", 2), 32);
        auto* unique = make<FixedProtocol>("unique", QByteArray("\x57\x00", 2), 10);
        // A 32-byte frame whose first 16 bytes verify as a 16-byte frame too.
        QByteArray f = frames::fixed(QByteArray("\x54\x00", 2), 16, 21, "\x54\x57");
        f += QByteArray(15, '\x05');
        f.append(static_cast<char>(frames::sum8(f, 31)));
        const QByteArray u = frames::fixed(QByteArray("\x57\x00", 2), 10, 22, "\x54\x57");

        p16->setActive(false);
        unique->setActive(false);
        QCOMPARE(ProtocolBase::activeProtocols().size(), 3);
        Queued q = feed(f + u);
        QCOMPARE(q.size(), 2);
        QCOMPARE(q[0], qMakePair(QString("p32"), f));
        // A protocol with a head of its own keeps decoding after deactivation.
        QCOMPARE(q[1], qMakePair(QString("unique"), u));

        // None of the same head active: only the one activated last is searched.
        p32->setActive(false);
        q = feed(f);
        QCOMPARE(q.size(), 1);
        QCOMPARE(q[0].first, QString("p32"));

        p16->setActive(true);
        q = feed(f);
        QCOMPARE(q.size(), 1);
        QCOMPARE(q[0], qMakePair(QString("p16"), f.left(16)));
        p16->setActive(false);
        q = feed(f);
        QCOMPARE(q.size(), 1);
        QCOMPARE(q[0].first, QString("p16"));
    }

    // Parameter replies answer the program's own requests: searched only while active.
    void parameterRepliesSearchedOnlyDuringExchanges_data()
    {
        QTest::addColumn<bool>("aoa");
        QTest::newRow("trelvan") << false;
        QTest::newRow("aoa") << true;
    }

    void parameterRepliesSearchedOnlyDuringExchanges()
    {
        QFETCH(bool, aoa);
        ProtocolBase* p = aoa ? static_cast<ProtocolBase*>(adopt(Trelvan::AoaProtocolParameter::instance()))
                              : adopt(Trelvan::ProtocolParameter::instance());
        const QByteArray reply = Trelvan::ParameterFrame::request(Trelvan::ParameterFrame::Read);
        QCOMPARE(feed(reply).size(), 1);
        p->setActive(false);
        QVERIFY(feed(reply + reply).isEmpty());
        QVERIFY(ex->remainder().size() <= 1);
        p->setActive(true);
        const Queued q = feed(reply);
        QCOMPARE(q.size(), 1);
        QCOMPARE(q[0], qMakePair(p->name(), reply));
    }

    void disabledExtractionOnlyCollects()
    {
        testenv::LogCapture log;
        make<FixedProtocol>("a", QByteArray("\x55\x01"), 20);
        const QByteArray f = frames::fixed("\x55\x01", 20, 30, "\x55");
        ex->setEnabled(false);
        ex->appendData(f);
        ex->appendData(QByteArray());
        QTest::qWait(30); // the 1 ms timer runs here, on the GUI thread
        QVERIFY(testenv::takeQueued().isEmpty());
        const QByteArray pending = ex->takePendingData();
        QCOMPARE(pending, f);
        QCOMPARE(log.count("ProtocolFrameExtraction shouldn't be in gui thread"), 0);

        ex->appendData(f);
        ex->setEnabled(true);
        int queued = 0;
        QTRY_VERIFY_WITH_TIMEOUT((queued += ProtocolDataProcessor::instance()->takeFrames().size()) >= 1, 2000);
        QTest::qWait(20);
        queued += ProtocolDataProcessor::instance()->takeFrames().size();
        QCOMPARE(queued, 1);
        ex->setEnabled(false);
        // Running on the GUI thread is reported, and the search still works.
        QVERIFY(log.count("ProtocolFrameExtraction shouldn't be in gui thread") >= 1);
    }

    // Beyond the bound the oldest undecoded frames go, counted, reported once a second.
    void processingQueueBounded()
    {
        testenv::LogCapture log;
        auto* p = make<FixedProtocol>("a", QByteArray("\x55\x01"), 20);
        ProtocolDataProcessor* processor = ProtocolDataProcessor::instance();
        const quint64 droppedBefore = processor->droppedFrames();
        const int bound = ProtocolDataProcessor::kMaxQueuedFrames;
        QCOMPARE(bound, 65536);
        QElapsedTimer clock;
        clock.start();
        for (int n = 0; n < bound + 448; n += 64) {
            QVector<ExtractedFrame> batch;
            for (int k = n; k < n + 64; ++k)
                batch.append(ExtractedFrame{p, QByteArray::number(k), QTime()});
            processor->appendFrames(batch);
        }
        const QVector<ExtractedFrame> queued = processor->takeFrames();
        QCOMPARE(queued.size(), bound);
        QCOMPARE(queued.first().frame, QByteArray::number(448));
        QCOMPARE(queued.last().frame, QByteArray::number(bound + 447));
        QCOMPARE(processor->droppedFrames() - droppedBefore, quint64(448));
        const int reports = log.count(QtWarningMsg, "frame queue full:");
        QVERIFY(reports >= 1 && reports <= 1 + clock.elapsed() / 1000);
    }

    void emptyReadLeavesRemainder()
    {
        make<FixedProtocol>("a", QByteArray("\x55\x01"), 20);
        const QByteArray f = frames::fixed("\x55\x01", 20, 31, "\x55");
        QVERIFY(feed(f.left(12)).isEmpty());
        QCOMPARE(ex->remainder(), f.left(12));
        ex->extractFrames();
        QCOMPARE(ex->remainder(), f.left(12));
    }

    // Builds the row's stream with the protocols it activates; expected frames
    // are given where the stream makes them plain.
    QByteArray productStream(const QString& kind, Queued& expected)
    {
        auto* anchor = adopt(Trelvan::ProtocolAnchorFrame0::instance());
        auto* node2 = adopt(Trelvan::ProtocolNodeFrame2::instance());
        auto* system = adopt(ProtocolSystem::instance());
        auto* range = adopt(Sarvel::ProtocolFrame0::instance());
        auto* parameter = adopt(Sarvel::ProtocolParameter::instance());
        QByteArray avoid;
        for (const ProtocolBase* p : {(ProtocolBase*)anchor, (ProtocolBase*)node2, (ProtocolBase*)system,
                                      (ProtocolBase*)range, (ProtocolBase*)parameter})
            avoid.append(p->head().at(0));
        const bool clean = kind != "1 % corruption";
        QRandomGenerator rng(kind == "1 % corruption" ? 77 : 5);
        auto make = [&](int which, quint32 seed, int records = 0) -> QPair<QString, QByteArray> {
            const QByteArray noHeads = clean ? avoid : QByteArray();
            switch (which) {
            case 0: {
                QByteArray f = anchor->head() + frames::fixed("", 893, seed, noHeads);
                f.append('\xEE');
                return {anchor->name(), f};
            }
            case 1: {
                QByteArray f = frames::lengthField(node2->head(), 120 + 13 * records, seed, noHeads);
                f[118] = static_cast<char>(records);
                f[f.size() - 1] = static_cast<char>(frames::sum8(f, f.size() - 1));
                return {node2->name(), f};
            }
            case 2: return {system->name(), frames::fixed(system->head(), 32, seed, noHeads)};
            case 3: return {range->name(), frames::fixed(range->head(), 16, seed, noHeads)};
            default: return {parameter->name(), frames::fixed(parameter->head(), 32, seed, noHeads)};
            }
        };
        auto reseal = [](QByteArray& f) { f[f.size() - 1] = static_cast<char>(frames::sum8(f, f.size() - 1)); };
        QByteArray stream;
        for (int i = 0; i < 150; ++i) {
            const auto good = make(rng.bounded(5), rng.generate(), rng.bounded(12));
            if (kind == "frames inside payloads" && i % 3 == 0) {
                // A node frame 2 carrying a range frame at 40 and a parameter frame at 60.
                auto outer = make(1, rng.generate(), 0);
                outer.second.replace(40, 16, make(3, rng.generate()).second);
                outer.second.replace(60, 32, make(4, rng.generate()).second);
                reseal(outer.second);
                stream += outer.second;
                expected.append(outer);
            } else if (kind == "corrupted length fields" && i % 4 == 0) {
                // Below the minimum, beyond the maximum, or longer than what follows.
                QByteArray bad = make(1, rng.generate(), 2).second;
                const int lengths[] = {50, 4000, 65535, bad.size() + 300};
                const int length = lengths[(i / 4) % 4];
                bad[2] = static_cast<char>(length & 0xFF);
                bad[3] = static_cast<char>(length >> 8);
                reseal(bad);
                stream += bad;
            } else if (kind == "truncated frames" && i % 4 == 0) {
                const auto cut = make(rng.bounded(5), rng.generate(), 3);
                stream += cut.second.left(1 + rng.bounded(cut.second.size() - 1));
            }
            stream += good.second;
            expected.append(good);
        }
        if (!clean) {
            expected.clear();
            for (int i = 0; i < stream.size() / 100; ++i)
                stream[rng.bounded(stream.size())] = static_cast<char>(rng.bounded(256));
        }
        return stream;
    }

    QByteArray testProtocolStream(Queued& expected)
    {
        const QByteArray avoid("\x52\x55$", 3);
        make<FixedProtocol>("sys", QByteArray("\x52\x00", 2), 32);
        make<LengthFieldProtocol>("len", QByteArray("\x55\x01"), 8);
        make<SentenceProtocol>("gga", QByteArray("$GPGGA,"));
        QRandomGenerator rng(1234);
        QByteArray stream;
        for (int i = 0; i < 300; ++i) {
            const int kind = rng.bounded(3);
            QByteArray f;
            if (kind == 0) {
                f = frames::fixed(QByteArray("\x52\x00", 2), 32, rng.generate(), avoid);
                expected.append({"sys", f});
            } else if (kind == 1) {
                int len;
                do
                    len = 8 + rng.bounded(200);
                while (avoid.contains(static_cast<char>(len & 0xFF)));
                f = frames::lengthField("\x55\x01", len, rng.generate(), avoid);
                expected.append({"len", f});
            } else {
                QByteArray body = "GPGGA,";
                const int n = rng.bounded(60);
                for (int k = 0; k < n; ++k)
                    body.append(static_cast<char>('0' + rng.bounded(43)));
                f = frames::nmea(body);
                expected.append({"gga", f});
            }
            stream += f;
        }
        return stream;
    }

    // Feeds the chunks and checks after each pass that the kept bytes stay within
    // the longest frame plus the longest head.
    Queued feedBounded(const QList<QByteArray>& chunks)
    {
        int bound = 0;
        for (const ProtocolBase* p : ProtocolBase::searchedProtocols())
            bound = std::max(bound, ProtocolFrameExtraction::longestFrame(p) + p->head().size());
        Queued q;
        for (const QByteArray& c : chunks) {
            ex->appendData(c);
            ex->extractFrames();
            q += testenv::takeQueued();
            if (ex->remainder().size() > bound)
                return {{"kept too much", QByteArray::number(ex->remainder().size())}};
        }
        return q;
    }

    // A family's frames, frame by frame, damaged by a false head of its longest kind
    // claiming the most it can before them, or by the fourth frame's length byte; the Trelvan
    // frames also by a burst of such heads, or by a sealed node frame 0 whose record runs past it.
    QList<QByteArray> damagedStream(const QString& family, const QString& damage, Queued& expected)
    {
        QList<QByteArray> sent;
        ProtocolBase* decoder = nullptr;
        QByteArray falseHead;
        int lengthByte = 0;
        if (family == "trelvan") {
            decoder = adopt(Trelvan::ProtocolNodeFrame4::instance());
            adopt(Trelvan::ProtocolNodeFrame0::instance());
            adopt(Trelvan::ProtocolErrorFrame0::instance());
            const sim::TrelvanScenario scenario;
            for (int n = 0; n < 12; ++n)
                sent.append(scenario.frameAt(sim::TrelvanScenario::Kind::NodeFrame4, n));
            falseHead = QByteArray("\x55\x02\xFF\xFF\x01\x02\x03", 7); // node frame 0: 65,535 bytes
            lengthByte = 3;
        } else {
            adopt(UwbAna::ProtocolParameter::instance());
            adopt(UwbAna::ProtocolFrame0::instance());
            decoder = adopt(UwbAna::ProtocolFrame1::instance());
            for (int n = 0; n < 12; ++n) {
                sim::AnalyserReceive r;
                r.chip = quint8(n % 4);
                r.systemTime = quint32(1000 + 50 * n);
                r.fpIndex = quint16(700 + n);
                r.payload = QByteArray(3 + 9 * (n % 4), char(0x20 + n));
                sent.append(sim::analyserReceiveFrame(r));
            }
            falseHead = QByteArray("\x7A\x01", 2) + QByteArray(46, '\x11') + QByteArray("\xFF\xFF\x05", 3);
            lengthByte = 49;
        }
        for (const QByteArray& f : sent)
            expected.append({decoder->name(), f});
        if (damage == "false head") {
            sent.first().prepend(falseHead);
        } else if (damage == "head burst") {
            // The zero bytes place a span that passes its sum over the first frames.
            sent.first().prepend(falseHead.left(4).repeated(16500) + QByteArray(8, '\0'));
        } else if (damage == "records past") {
            const int length = 15 + sent[0].size() + sent[1].size() / 2;
            QByteArray bad("\x55\x02\x00\x00\x00\x07\x00\x00\x00\x00\x01\x00\x01\xFF\xFF", 15);
            bad[2] = char(length & 0xFF);
            bad[3] = char(length >> 8);
            const QByteArray covered = (sent[0] + sent[1]).left(length - 15);
            bad[6] = char(quint8(covered.back()) - frames::sum8(bad + covered, length - 1)); // seals it
            sent.first().prepend(bad);
        } else {
            sent[3][lengthByte] = char(0xF0);
            expected.removeAt(3);
        }
        return sent;
    }

    // Decoding resumes by the time the second good frame after the damage is in, with
    // no quiet time: a frame every 20 ms comes in a read of its own, one every
    // millisecond in reads that gather several and cut anywhere.
    void damagedStreamResumesWithinTwoFrames_data()
    {
        QTest::addColumn<QString>("family");
        QTest::addColumn<QString>("damage");
        QTest::addColumn<bool>("fast");
        for (const char* family : {"trelvan", "analyser"})
            for (const char* damage : {"false head", "length byte"})
                for (bool fast : {false, true})
                    QTest::addRow("%s, %s, %s", family, damage, fast ? "1 ms" : "20 ms")
                        << QString(family) << QString(damage) << fast;
    }

    void damagedStreamResumesWithinTwoFrames()
    {
        QFETCH(QString, family);
        QFETCH(QString, damage);
        QFETCH(bool, fast);
        Queued expected;
        const QList<QByteArray> sent = damagedStream(family, damage, expected);
        const QByteArray stream = sent.join();
        QList<int> ends; // where each expected frame ends in the stream
        for (int i = 0, end = 0; i < sent.size(); ++i) {
            end += sent[i].size();
            if (damage == "false head" || i != 3)
                ends.append(end);
        }

        QRandomGenerator cut(7);
        const QList<QByteArray> reads =
            fast ? split(stream, [&] { return 1 + int(cut.bounded(3 * sent.last().size())); }) : sent;
        Queued queued;
        int fed = 0;
        for (const QByteArray& read : reads) {
            ex->appendData(read);
            ex->extractFrames();
            fed += read.size();
            queued += testenv::takeQueued();
            int due = 0; // frames whose next one has fully arrived
            while (due + 1 < ends.size() && ends.at(due + 1) <= fed)
                ++due;
            QVERIFY2(queued.size() >= due, qPrintable(QString("%1 of %2 frames queued after %3 bytes")
                                                          .arg(queued.size()).arg(due).arg(fed)));
        }
        QVERIFY(queued == expected);
    }

    // The three sentence types, whole, among sentences cut short by a line that drops
    // bytes: a "$" inside a candidate starts the next sentence, whatever the XOR of
    // the bytes before it.
    QByteArray sentenceStream(Queued& expected)
    {
        using Trelvan::ProtocolNmea0183Base;
        using Trelvan::ProtocolNmea0183Manager;
        QList<ProtocolBase*> types{make<ProtocolNmea0183Base>("GPGGA", ProtocolNmea0183Manager::ggaFieldNames()),
                                   make<ProtocolNmea0183Base>("GPGSA", ProtocolNmea0183Manager::gsaFieldNames()),
                                   make<ProtocolNmea0183Base>("GPRMC", ProtocolNmea0183Manager::rmcFieldNames())};
        // Heads that no whole sentence follows: the last one starts at byte 14.
        QByteArray stream = "$GPGGA,$GPGGA,$GPGGA,1*4B\r\n";
        expected.append({types[0]->name(), stream.mid(14)});
        QRandomGenerator rng(52);
        const QByteArray fieldBytes = "0123456789.,NSEWAM";
        int zeroXor = 0;
        for (int i = 0; i < 300 || zeroXor < 4; ++i) {
            ProtocolBase* p = types[rng.bounded(3)];
            QByteArray body = p->head().mid(1);
            for (int n = rng.bounded(60); n > 0; --n)
                body.append(fieldBytes.at(rng.bounded(fieldBytes.size())));
            const QByteArray whole = frames::nmea(body);
            // Cut after its head: the cuts whose bytes XOR to 0 are the ones a
            // checksum alone cannot tell from a sentence.
            QByteArray cut = whole.left(7 + rng.bounded(whole.size() - 9));
            quint8 x = 0;
            for (char c : cut)
                x ^= quint8(c);
            if (x == 0)
                ++zeroXor;
            else if (i >= 300 || i % 2 == 0)
                cut.clear();
            stream += cut + whole;
            expected.append({p->name(), whole});
        }
        return stream;
    }

    // An awaited reply is queued at once behind a held false head, and only then:
    // - the searched protocols change before the hold ends (node frame 2 loaded, as
    //   after recognition, the wait still on): the reply, still among the kept bytes
    //   and found again there, is not queued again;
    // - two protocols of its head are searched, the one awaited took it: once the
    //   quiet time gives the head up, the other does not take it again.
    void awaitedReplyQueuedOnce_data()
    {
        QTest::addColumn<bool>("twoProtocols");
        QTest::newRow("the search changes") << false;
        QTest::newRow("two protocols of its head") << true;
    }

    void awaitedReplyQueuedOnce()
    {
        QFETCH(bool, twoProtocols);
        adopt(Trelvan::ProtocolNodeFrame0::instance());
        if (twoProtocols) {
            adopt(Sarvel::ProtocolParameter::instance());
            ProtocolBase* parvo = adopt(Parvo::ProtocolParameter::instance());
            const QByteArray bytes = QByteArray::fromHex("5502ffff00000000" "542000ff010000000000ffff00c201"
                                                         "ffffffffffffffffffffffffffffffff25");
            parvo->setAwaited(true);
            Queued q = feed(bytes);
            const Queued once{{parvo->name(), bytes.mid(8)}};
            QCOMPARE(q, once);
            QTRY_VERIFY_WITH_TIMEOUT((ex->extractFrames(), q += testenv::takeQueued(), ex->remainder().size() <= 1),
                                     5000);
            parvo->setAwaited(false);
            QCOMPARE(q, once);
            return;
        }
        ProtocolBase* system = adopt(ProtocolSystem::instance());
        const QByteArray falseHead("\x55\x02\xFF\xFF\x01\x02\x03\x04", 8);
        const QByteArray reply = frames::fixed(system->head(), 32, 3, "\x55");
        system->setAwaited(true);
        Queued q = feed(falseHead + reply);
        QCOMPARE(q, (Queued{{system->name(), reply}}));

        ProtocolBase* node2 = adopt(Trelvan::ProtocolNodeFrame2::instance());
        QList<QByteArray> pair;
        for (quint32 seed : {1u, 2u}) {
            QByteArray f = frames::lengthField(node2->head(), 120, seed, "\x55\x52");
            f[118] = 0; // no records
            f[f.size() - 1] = static_cast<char>(frames::sum8(f, f.size() - 1));
            pair.append(f);
        }
        // The pair gives the false head up; the walk then passes the reply.
        q = feedChunks({QByteArray("\x00", 1), pair[0], pair[1]});
        ex->extractFrames();
        q += testenv::takeQueued();
        system->setAwaited(false);
        QCOMPARE(q, (Queued{{node2->name(), pair[0]}, {node2->name(), pair[1]}}));
    }

    void sameFramesWhateverTheChunking_data()
    {
        QTest::addColumn<QString>("kind");
        for (const char* kind : {"test protocols", "product frames back to back", "frames inside payloads",
                                 "corrupted length fields", "truncated frames", "1 % corruption",
                                 "trelvan, false head", "trelvan, length byte", "trelvan, head burst",
                                 "trelvan, records past", "analyser, false head", "analyser, length byte",
                                 "sentences cut short"})
            QTest::newRow(kind) << QString(kind);
    }

    void sameFramesWhateverTheChunking()
    {
        QFETCH(QString, kind);
        Queued expected;
        const QByteArray stream = kind == "test protocols"        ? testProtocolStream(expected)
                                  : kind == "sentences cut short" ? sentenceStream(expected)
                                  : kind.contains(", ")
                                      ? damagedStream(kind.section(", ", 0, 0), kind.section(", ", 1), expected).join()
                                      : productStream(kind, expected);

        const Queued whole = feedBounded({stream});
        if (!expected.isEmpty()) {
            QCOMPARE(whole.size(), expected.size());
            QVERIFY(whole == expected);
        } else {
            // Most frames survive 1 % of their bytes corrupted.
            QVERIFY2(whole.size() > 40, qPrintable(QString::number(whole.size())));
        }

        ex->clearBuffers();
        QVERIFY(feedBounded(split(stream, [] { return 1; })) == whole);
        // The cut that once lost a node frame 2 to the range frame in its payload.
        ex->clearBuffers();
        int step = 0;
        QVERIFY(feedBounded(split(stream, [&step] { return QList<int>{30, 1, 59, 30}.at(step++ % 4); })) == whole);
        for (quint32 seed : {1u, 2u, 3u}) {
            ex->clearBuffers();
            QRandomGenerator cut(seed);
            QVERIFY2(feedBounded(split(stream, [&cut] { return 1 + cut.bounded(300); })) == whole,
                     qPrintable(QString("seed %1").arg(seed)));
        }
    }

    void garbageKeepsAtMostLongestHeadMinusOne()
    {
        make<FixedProtocol>("sys", QByteArray("\x52\x00", 2), 32);
        QRandomGenerator rng(99);
        QByteArray garbage;
        for (int i = 0; i < 100000; ++i) {
            char c = static_cast<char>(rng.bounded(256));
            garbage.append(c == '\x52' ? '\x53' : c);
        }
        for (int i = 0; i < 10; ++i) {
            QVERIFY(feed(garbage.mid(i * 10000, 10000)).isEmpty());
            QVERIFY(ex->remainder().size() <= 1);
        }
        make<SentenceProtocol>("gga", QByteArray("$GPGGA,"));
        for (int i = 0; i < 10; ++i) {
            QVERIFY(feed(garbage.mid(i * 10000, 10000).replace('$', '#')).isEmpty());
            QCOMPARE(ex->remainder().size(), 6);
        }
    }

    void longHeadSplitAcrossReads()
    {
        make<FixedProtocol>("sys", QByteArray("\x52\x00", 2), 32);
        make<SentenceProtocol>("gga", QByteArray("$GPGGA,"));
        const QByteArray s = frames::nmea("GPGGA,092750.000,5321.6802,N,00630.3372,W,1,8,1.03,61.7,M,55.2,M,,");
        for (int cut = 1; cut < 7; ++cut) {
            ex->clearBuffers();
            const Queued q = feedChunks({QByteArray("xyz") + s.left(cut), s.mid(cut)});
            QCOMPARE(q.size(), 1);
            QCOMPARE(q[0].second, s);
        }
    }

    void queuedFrameBytesDoNotComeBack()
    {
        make<FixedProtocol>("sys", QByteArray("\x52\x00", 2), 32);
        make<FixedProtocol>("a", QByteArray("\x55\x01"), 20);
        make<SentenceProtocol>("gga", QByteArray("$GPGGA,")); // longest head 7: 6 bytes kept
        // A system frame whose checksum byte is 0x55 ...
        QByteArray sys = QByteArray("\x52\x00", 2) + QByteArray(29, '\x00');
        sys.append('\x00');
        sys[2] = static_cast<char>(0x55 - 0x52);
        sys[31] = static_cast<char>(frames::sum8(sys, 31));
        QCOMPARE(static_cast<quint8>(sys[31]), quint8(0x55));
        // ... and a next read that completes a frame with that byte as its head.
        const QByteArray ghost = frames::fixed("\x55\x01", 20, 40, "\x55\x52$");
        const Queued q = feedChunks({sys, ghost.mid(1)});
        QCOMPARE(q.size(), 1);
        QCOMPARE(q[0].second, sys);
    }

    void tailModeRules()
    {
        auto* gga = make<SentenceProtocol>("gga", QByteArray("$GPGGA,"), 20);
        const QByteArray tooShort = frames::nmea("GPGGA,1");
        QVERIFY(tooShort.size() < 20);
        const QByteArray good = frames::nmea("GPGGA,092750.000,5321.6802,N");
        Queued q = feed(tooShort + good);
        QCOMPARE(q.size(), 1);
        QCOMPARE(q[0].second, good);
        // A short sentence alone is dropped, not kept as incomplete.
        QVERIFY(feed(tooShort).isEmpty());
        QVERIFY(ex->remainder().size() <= 6);
        // Without its tail the sentence waits.
        QVERIFY(feed(good.left(good.size() - 1)).isEmpty());
        QCOMPARE(ex->remainder(), good.left(good.size() - 1));
        q = feed(good.right(1));
        QCOMPARE(q.size(), 1);
        QCOMPARE(q[0].second, good);
        // With a stated maximum, a head without its tail that far on is no frame:
        // the sentence behind it is found and nothing of the head is kept.
        gga->setMaxFrameLength(40);
        const QByteArray endless = QByteArray("$GPGGA,") + QByteArray(60, '1');
        QVERIFY(feed(endless.left(30)).isEmpty());
        QCOMPARE(ex->remainder(), endless.left(30));
        q = feed(endless.mid(30) + good);
        QCOMPARE(q.size(), 1);
        QCOMPARE(q[0].second, good);
        QVERIFY(ex->remainder().size() <= 6);
        gga->setMaxFrameLength(0);

        // A tail-delimited protocol without a head would match at every byte: it is
        // never a candidate, while the headed one beside it still finds its sentences.
        auto* headless = make<SentenceProtocol>("nohead", QByteArray(), 1);
        ex->clearBuffers();
        q = feed(good + frames::nmea("GPRMC,1,2,3") + good);
        QCOMPARE(q.size(), 2);
        QCOMPARE(q[0], qMakePair(QString("gga"), good));
        QCOMPARE(q[1], qMakePair(QString("gga"), good));
        QVERIFY(headless->searchThread() == nullptr);
        owned.erase(owned.begin()); // the headless one alone
        ex->clearBuffers();
        QVERIFY(feed(good + frames::nmea("GPRMC,1,2,3")).isEmpty());
        QVERIFY(headless->searchThread() == nullptr);
        QVERIFY(ex->remainder().isEmpty());
    }

    void degenerateProtocolsYieldNothing()
    {
        make<FixedProtocol>("nohead", QByteArray(), 4);
        auto* len = make<LengthFieldProtocol>("len", QByteArray("\x54\x02"), 0);
        Q_UNUSED(len);
        // Length fields of 0 and 1 would verify before the frame's own start.
        const QByteArray zero("\x54\x02\x00\x00\x56", 5);
        const QByteArray one("\x54\x02\x01\x00\x57", 5);
        QVERIFY(feed(QByteArray("\x01\x02\x03\x04") + zero + one).isEmpty());
        QVERIFY(ex->remainder().size() <= 1);
        const QByteArray f = frames::lengthField("\x54\x02", 12, 50, "\x54");
        const Queued q = feed(f);
        QCOMPARE(q.size(), 1);
        QCOMPARE(q[0].second, f);
    }
};

TALMENO_TEST_MAIN(TestFrameExtraction)
#include "tst_frame_extraction.moc"
