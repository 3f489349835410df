// The protocol base: the active-protocol list, one registration before the first
// frame, the reply hook of request protocols, the bounded record queue and the seams.

#include "support/testenv.h"

#include "helpers/PipelineEnv.h"
#include "helpers/TestProtocols.h"
#include "protocol/ProtocolDataQueue.h"
#include "protocol/ProtocolSeams.h"

#include <QSignalSpy>
#include <memory>
#include <thread>

namespace {
struct Record
{
    int value = 0;
};

class RequestProtocol : public InsideReadWriteProtocol
{
public:
    RequestProtocol()
        : InsideReadWriteProtocol("request")
    {
        head_ = "\x54\x05";
        frameLength_ = 8;
    }
    void parseFrame(const QByteArray&) override { ++parsed; }
    int parsed = 0;
};

ModelManager* fakeManager()
{
    static int anchor = 0;
    return reinterpret_cast<ModelManager*>(&anchor);
}

QString fancyLabel(qint8 role, quint8 id)
{
    return QString("R%1#%2").arg(role).arg(id);
}
} // namespace

class TestProtocolBase : public QObject
{
    Q_OBJECT

private slots:
    void activeListRules()
    {
        auto a = std::make_unique<FixedProtocol>("a", "\x55\x01", 8);
        auto b = std::make_unique<FixedProtocol>("b", "\x55\x02", 8);
        QVERIFY(!a->isActive());
        QVERIFY(ProtocolBase::activeProtocols().isEmpty());

        a->setActive(false); // deactivating an inactive protocol changes nothing
        QVERIFY(ProtocolBase::activeProtocols().isEmpty());
        b->setActive(true);
        a->setActive(true);
        a->setActive(true);
        QCOMPARE(ProtocolBase::activeProtocols(), (QList<ProtocolBase*>{b.get(), a.get()}));
        a->setActive(false);
        QVERIFY(!a->isActive());
        QCOMPARE(ProtocolBase::activeProtocols(), (QList<ProtocolBase*>{b.get(), a.get()}));
        a->setActive(true);
        QCOMPARE(ProtocolBase::activeProtocols(), (QList<ProtocolBase*>{b.get(), a.get()}));

        b.reset();
        QCOMPARE(ProtocolBase::activeProtocols(), (QList<ProtocolBase*>{a.get()}));
        a.reset();
        QVERIFY(ProtocolBase::activeProtocols().isEmpty());
    }

    void registrationRunsOnceBeforeTheFirstParse()
    {
        FixedProtocol p("p", "\x55\x01", 8);
        QSignalSpy finished(&p, &ProtocolBase::dataParseFinished);
        QVERIFY(!p.isDataItemsRegistered());
        p.processFrame(frames::fixed("\x55\x01", 8, 1));
        p.processFrame(frames::fixed("\x55\x01", 8, 2));
        p.processFrame(frames::fixed("\x55\x01", 8, 3));
        QCOMPARE(p.calls(), (QStringList{"register", "parse", "parse", "parse"}));
        QVERIFY(p.isDataItemsRegistered());
        QCOMPARE(finished.count(), 0); // emission off in the base
        p.emitParseFinished_ = true;
        p.processFrame(frames::fixed("\x55\x01", 8, 4));
        QCOMPARE(finished.count(), 1);
    }

    void modelManagerComesFromTheSeam()
    {
        FixedProtocol p("p", "\x55\x01", 8);
        p.processFrame(frames::fixed("\x55\x01", 8, 1));
        QCOMPARE(p.modelManager(), static_cast<ModelManager*>(nullptr));
        ProtocolSeams::setCurrentModelManagerLookup(&fakeManager);
        p.processFrame(frames::fixed("\x55\x01", 8, 2));
        QCOMPARE(p.modelManager(), fakeManager());
        // No current page: the manager keeps its value.
        ProtocolSeams::setCurrentModelManagerLookup(nullptr);
        p.processFrame(frames::fixed("\x55\x01", 8, 3));
        QCOMPARE(p.modelManager(), fakeManager());
    }

    void replyHandlerRunsOncePerFrame()
    {
        RequestProtocol p;
        int replies = 0;
        p.setReplyHandler([&](QString& message) {
            message = "ignored";
            ++replies;
            return false;
        });
        QSignalSpy finished(&p, &ProtocolBase::dataParseFinished);
        QVERIFY(p.packReadRequest().isEmpty());
        QVERIFY(p.packWriteRequest().isEmpty());
        for (int i = 0; i < 3; ++i)
            p.processFrame(frames::fixed("\x54\x05", 8, i));
        QCOMPARE(p.parsed, 3);
        QCOMPARE(finished.count(), 3);
        QCOMPARE(replies, 3);

        // Emitted on another thread, the reply runs queued in the protocol's thread.
        std::thread worker([&] { p.processFrame(frames::fixed("\x54\x05", 8, 9)); });
        worker.join();
        QCOMPARE(replies, 3);
        QTRY_COMPARE(replies, 4);
        QCoreApplication::processEvents();
        QCOMPARE(replies, 4);
    }

    void queueKeepsTheNewestThousand()
    {
        testenv::LogCapture log;
        ProtocolDataQueue<Record> q("Vexa_Test_Frame");
        QVERIFY(q.takeAll().isEmpty());
        for (int i = 0; i < 1000; ++i) {
            auto r = QSharedPointer<Record>::create();
            r->value = i;
            q.push(r);
        }
        QCOMPARE(log.count("previous data will be discarded"), 0);
        auto extra = QSharedPointer<Record>::create();
        extra->value = 1000;
        QWeakPointer<Record> weakExtra = extra;
        q.push(extra);
        extra.reset();
        QVERIFY(!weakExtra.isNull()); // the queue keeps its own reference
        QCOMPARE(log.count("Vexa_Test_Frame:datas_.size() > 1000, previous data will be discarded"), 1);
        q.push(QSharedPointer<Record>::create());
        QCOMPARE(log.count("previous data will be discarded"), 2);

        const auto all = q.takeAll();
        QCOMPARE(all.size(), 1000);
        QCOMPARE(all.first()->value, 2);
        QCOMPARE(all.at(998)->value, 1000);
        QVERIFY(q.takeAll().isEmpty());
        const QString line = log.lines().filter("discarded").first();
        QVERIFY(QRegularExpression(R"(^\[\d\d\.\d\d \d\d:\d\d:\d\d\.\d\d\d\] )").match(line).hasMatch());
    }

    void nodeLabelStandIn()
    {
        QCOMPARE(ProtocolSeams::nodeLabel(2, 7), QString("2_7"));
        QCOMPARE(ProtocolSeams::nodeLabel(-1, 255), QString("-1_255"));
        ProtocolSeams::setNodeLabelFunction(&fancyLabel);
        QCOMPARE(ProtocolSeams::nodeLabel(2, 7), QString("R2#7"));
        ProtocolSeams::setNodeLabelFunction(nullptr);
    }
};

TALMENO_TEST_MAIN(TestProtocolBase)
#include "tst_protocol_base.moc"
