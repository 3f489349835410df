#include "foundation/UserPaths.h"
#include "foundation/ZThreadManager.h"
#include "model/ModelManager.h"
#include "protocol/ProtocolBase.h"
#include "protocol/ProtocolDataProcessor.h"
#include "protocol/ProtocolFactory.h"
#include "protocol/ProtocolFrameExtraction.h"
#include "views/RefreshManagers.h"
#include "views/ModelViewManagers.h"
#include "helpers/PipelineEnv.h"
#include "helpers/TestProtocols.h"
#include "support/testenv.h"

#include <QPointer>
#include <QSet>
#include <QThread>

namespace {

// Every member protocol of the groups, each with a head of its own.
const QStringList kMembers{
    "Vexa_Sarvel_Frame0",         "Vexa_Sarvel-Vora_Frame0_64", "Vexa_Sarvel-Vora_Frame0_16",
    "UWB_Analyzer_Parameter",     "UWB_Analyzer_Frame0",        "UWB_Analyzer_Frame1",
    "iot_frame0",                 "Vexa_Trelvan_Anchor_Frame0", "Vexa_Trelvan_Tag_Frame0",
    "Vexa_Trelvan_Node_Frame0",   "Vexa_Trelvan_Node_Frame1",   "Vexa_Trelvan_Node_Frame2",
    "Vexa_Trelvan_Node_Frame3",   "Vexa_Trelvan_Node_Frame4",   "Vexa_Trelvan_Node_Frame5",
    "Vexa_Trelvan_Node_Frame7",   "Vexa_Trelvan_AOA_Node_Frame0", "Vexa_Trelvan_Error_Frame0",
};
constexpr int kFrameLength = 12;

QByteArray headOf(int index)
{
    return QByteArray(1, char(0x60 + index)) + QByteArray(1, char(0xA0 + index));
}

QSet<QString> activeNames()
{
    QSet<QString> names;
    for (ProtocolBase* p : ProtocolBase::activeProtocols()) {
        if (p->isActive())
            names.insert(p->name());
    }
    return names;
}

QStringList listedNames()
{
    QStringList names;
    for (ProtocolBase* p : ProtocolBase::activeProtocols())
        names << p->name();
    return names;
}

QString currentPage()
{
    return ModelViewManagers::instance()->currentName();
}

} // namespace

class TestFactory : public QObject
{
    Q_OBJECT

    QHash<QString, QPointer<FixedProtocol>> protocols_;
    QHash<QString, QObject*> parents_;
    QHash<QString, QThread*> creationThreads_;
    QList<FixedProtocol*> sentences_;
    QObject* sentencesParent_ = nullptr;
    QStringList setUpRuns_;

    void registerAll()
    {
        ProtocolFactory::clearRegistrations();
        for (int i = 0; i < kMembers.size(); ++i) {
            const QString name = kMembers[i];
            ProtocolFactory::registerProtocol(name, [this, name, i](QObject* parent) -> ProtocolBase* {
                // One instance per name, created on first use, as the product lines do.
                if (!protocols_.value(name)) {
                    protocols_.insert(name, new FixedProtocol(name, headOf(i), kFrameLength, parent));
                    parents_.insert(name, parent);
                    creationThreads_.insert(name, QThread::currentThread());
                }
                return protocols_.value(name);
            });
        }
        ProtocolFactory::registerSentenceProtocols([this](QObject* parent) {
            if (sentences_.isEmpty()) {
                sentencesParent_ = parent;
                for (int i = 0; i < 5; ++i)
                    sentences_ << new FixedProtocol(QString("sentence_%1").arg(i), headOf(40 + i), kFrameLength, parent);
            }
            QList<ProtocolBase*> list;
            for (FixedProtocol* p : sentences_)
                list << p;
            return list;
        });
        ProtocolFactory::registerGroupSetUp("UWB_Analyzer", [this] {
            // The analyser's view is set up once its protocols are active.
            QStringList active = activeNames().values();
            active.sort();
            setUpRuns_ << active.join(',');
        });
    }

private slots:
    void initTestCase()
    {
        QSettings().setValue("Is3DEnabled", false);
        initUserDataFolders();
        testenv::startWorkerThreads();
        ZThreadManager::instance()->moveToThread(ProtocolFrameExtraction::instance(), 2);
        ProtocolFrameExtraction::instance()->setEnabled(true);
        QVERIFY(initViewServices(this));
        registerAll();
    }

    void switchingGroupsKeepsReplacedProtocolsDecoding()
    {
        {
        QObject owner;
        ProtocolFactory::loadProtocols("Vexa_Sarvel_Frame0", &owner);
        QCOMPARE(activeNames(), QSet<QString>({"Vexa_Sarvel_Frame0"}));
        QCOMPARE(currentPage(), QString("Vexa_Sarvel_Frame0"));
        QCOMPARE(ModelViewManagers::currentModelManager()->neededTypes(),
                 QList<ResourceType>({ResourceType::Data, ResourceType::Line}));
        QCOMPARE(parents_.value("Vexa_Sarvel_Frame0"), &owner);
        QCOMPARE(creationThreads_.value("Vexa_Sarvel_Frame0"), qApp->thread());

        ProtocolFactory::loadProtocols("Vexa_Trelvan_Node_Frame2", &owner);
        QCOMPARE(activeNames(), QSet<QString>({"Vexa_Trelvan_Node_Frame2", "Vexa_Trelvan_Node_Frame0",
                                               "Vexa_Trelvan_Error_Frame0"}));
        QCOMPARE(currentPage(), QString("Vexa_Trelvan_Node_Frame2"));
        // With 3D off the page keeps the 2D kinds of the group.
        QCOMPARE(ModelViewManagers::currentModelManager()->neededTypes(),
                 QList<ResourceType>({ResourceType::Data, ResourceType::Line, ResourceType::Scatter}));
        // The replaced protocol stays listed, inactive, and its frames are still decoded.
        FixedProtocol* sarvel = protocols_.value("Vexa_Sarvel_Frame0");
        QVERIFY(listedNames().contains("Vexa_Sarvel_Frame0"));
        QVERIFY(!sarvel->isActive());
        const int before = sarvel->parseCount();
        const QByteArray frame = frames::fixed(headOf(0), kFrameLength, 7, QByteArray("\x60", 1));
        ProtocolFrameExtraction::instance()->appendData(frame + frame);
        QTRY_COMPARE(sarvel->parseCount(), before + 2);
        QCOMPARE(sarvel->parsed().last(), frame);

        // Loading the same group again changes nothing and lists nobody twice.
        const QStringList listed = listedNames();
        ProtocolFactory::loadProtocols("Vexa_Trelvan_Node_Frame2", &owner);
        QCOMPARE(listedNames(), listed);
        QCOMPARE(activeNames().size(), 3);
        QCOMPARE(listed.toSet().size(), listed.size());

        // A later group gets the protocols already made: parents stay those of the first load.
        QObject other;
        ProtocolFactory::loadProtocols("Vexa_Trelvan_Node_Frame1", &other);
        QCOMPARE(parents_.value("Vexa_Trelvan_Node_Frame0"), &owner);
        QCOMPARE(parents_.value("Vexa_Trelvan_Node_Frame1"), &other);
        }
        // Deleting their owners took the protocols out of the active list.
        QCOMPARE(listedNames().filter("Vexa_Trelvan_Node_Frame").size(), 0);
        QVERIFY(!listedNames().contains("Vexa_Sarvel_Frame0"));
    }

    void everyGroupActivatesItsMembers_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("members");
        QTest::addColumn<QList<ResourceType>>("types");
        using RT = ResourceType;
        const QStringList trelvan{"Vexa_Trelvan_Node_Frame0", "Vexa_Trelvan_Error_Frame0"};
        QTest::newRow("sarvel") << "Vexa_Sarvel_Frame0" << QStringList{"Vexa_Sarvel_Frame0"}
                                << QList<RT>{RT::Data, RT::Line};
        QTest::newRow("parvo64") << "Vexa_Sarvel-Vora_Frame0_64" << QStringList{"Vexa_Sarvel-Vora_Frame0_64"}
                                 << QList<RT>{RT::Data, RT::Line};
        QTest::newRow("parvo16") << "Vexa_Sarvel-Vora_Frame0_16" << QStringList{"Vexa_Sarvel-Vora_Frame0_16"}
                                 << QList<RT>{RT::Data, RT::Line};
        QTest::newRow("analyser") << "UWB_Analyzer"
                                  << QStringList{"UWB_Analyzer_Parameter", "UWB_Analyzer_Frame0", "UWB_Analyzer_Frame1"}
                                  << QList<RT>{RT::Data, RT::Line};
        QTest::newRow("iot") << "iot_frame0" << QStringList{"iot_frame0"} << QList<RT>{RT::Data, RT::Line};
        QTest::newRow("anchor") << "Vexa_Trelvan_Anchor_Frame0"
                                << (QStringList{"Vexa_Trelvan_Anchor_Frame0"} + trelvan)
                                << QList<RT>{RT::Data, RT::Line, RT::Scatter};
        QTest::newRow("tag") << "Vexa_Trelvan_Tag_Frame0" << (QStringList{"Vexa_Trelvan_Tag_Frame0"} + trelvan)
                             << QList<RT>{RT::Data, RT::Line, RT::Scatter};
        QTest::newRow("node1") << "Vexa_Trelvan_Node_Frame1" << (QStringList{"Vexa_Trelvan_Node_Frame1"} + trelvan)
                               << QList<RT>{RT::Data, RT::Line, RT::Scatter};
        for (const char* frame : {"Vexa_Trelvan_Node_Frame3", "Vexa_Trelvan_Node_Frame4", "Vexa_Trelvan_Node_Frame5",
                                  "Vexa_Trelvan_Node_Frame7", "Vexa_Trelvan_AOA_Node_Frame0"})
            QTest::newRow(frame) << frame << (QStringList{frame} + trelvan) << QList<RT>{RT::Data};
        QTest::newRow("node0") << "Vexa_Trelvan_Node_Frame0" << trelvan << QList<RT>{RT::Data};
        QTest::newRow("ubx") << "UBX" << trelvan << QList<RT>{RT::Data};
    }

    void everyGroupActivatesItsMembers()
    {
        QFETCH(QString, name);
        QFETCH(QStringList, members);
        QFETCH(QList<ResourceType>, types);
        QObject owner;
        ProtocolFactory::loadProtocols(name, &owner);
        QCOMPARE(activeNames(), members.toSet());
        QCOMPARE(currentPage(), name);
        QCOMPARE(ModelViewManagers::currentModelManager()->neededTypes(), types);
        const QStringList listed = listedNames();
        QCOMPARE(listed.toSet().size(), listed.size());
        // Keep the protocols alive beyond this owner for the following rows.
        for (const QString& m : members) {
            if (FixedProtocol* p = protocols_.value(m))
                p->setParent(this);
        }
    }

    void sentenceGroupActivatesEverySentence()
    {
        ProtocolFactory::loadProtocols("NMEA0183", this);
        QSet<QString> expected{"Vexa_Trelvan_Node_Frame0", "Vexa_Trelvan_Error_Frame0"};
        for (int i = 0; i < 5; ++i)
            expected << QString("sentence_%1").arg(i);
        QCOMPARE(activeNames(), expected);
        QCOMPARE(sentencesParent_, this);
        QCOMPARE(currentPage(), QString("NMEA0183"));
    }

    void analyserSetUpRunsAfterActivation()
    {
        const int before = setUpRuns_.size();
        ProtocolFactory::loadProtocols("UWB_Analyzer", this);
        QCOMPARE(setUpRuns_.size(), before + 1);
        QCOMPARE(setUpRuns_.last(), QString("UWB_Analyzer_Frame0,UWB_Analyzer_Frame1,UWB_Analyzer_Parameter"));
        ProtocolFactory::loadProtocols("iot_frame0", this);
        QCOMPARE(setUpRuns_.size(), before + 1);
    }

    void unknownNameChangesNothing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("unknown") << "Vexa_Trelvan_Node_Frame9";
        QTest::newRow("empty") << "";
        QTest::newRow("case differs") << "vexa_sarvel_frame0";
        QTest::newRow("member only") << "Vexa_Trelvan_Error_Frame0";
    }

    void unknownNameChangesNothing()
    {
        QFETCH(QString, name);
        ProtocolFactory::loadProtocols("Vexa_Sarvel-Vora_Frame0_16", this);
        const QSet<QString> active = activeNames();
        const QStringList listed = listedNames();
        testenv::LogCapture log;
        ProtocolFactory::loadProtocols(name, this);
        QCOMPARE(log.count("Current protocol is not supported,check the name: " + name), 1);
        QCOMPARE(activeNames(), active);
        QCOMPARE(listedNames(), listed);
        QCOMPARE(currentPage(), QString("Vexa_Sarvel-Vora_Frame0_16"));
    }

    void unregisteredMembersAreSkipped()
    {
        // A line not built yet: its protocols are missing; the others of the group load.
        ProtocolFactory::clearRegistrations();
        for (const QString& name : {QString("Vexa_Trelvan_Node_Frame0"), QString("Vexa_Trelvan_Error_Frame0")}) {
            ProtocolFactory::registerProtocol(name, [this, name](QObject* parent) -> ProtocolBase* {
                if (!protocols_.value(name))
                    protocols_.insert(name, new FixedProtocol(name, headOf(kMembers.indexOf(name)), kFrameLength, parent));
                return protocols_.value(name);
            });
        }
        testenv::LogCapture log;
        ProtocolFactory::loadProtocols("Vexa_Trelvan_Node_Frame3", this);
        QCOMPARE(activeNames(), QSet<QString>({"Vexa_Trelvan_Node_Frame0", "Vexa_Trelvan_Error_Frame0"}));
        QCOMPARE(currentPage(), QString("Vexa_Trelvan_Node_Frame3"));
        QCOMPARE(log.count("not supported"), 0);

        // A group none of whose protocols exist cannot be loaded.
        ProtocolFactory::loadProtocols("Vexa_Sarvel_Frame0", this);
        QCOMPARE(log.count("Current protocol is not supported,check the name: Vexa_Sarvel_Frame0"), 1);
        QCOMPARE(currentPage(), QString("Vexa_Trelvan_Node_Frame3"));
        registerAll();
    }

    void loadFromWorkerThreadRunsOnGuiThread()
    {
        QThread worker;
        QObject* owner = this;
        QThread* createdOn = nullptr;
        bool activeWhenReturned = false;
        QObject runner;
        runner.moveToThread(&worker);
        worker.start();
        QMetaObject::invokeMethod(&runner, [&] {
            ProtocolFactory::loadProtocols("Vexa_Sarvel-Vora_Frame0_64", owner);
            createdOn = creationThreads_.value("Vexa_Sarvel-Vora_Frame0_64");
            activeWhenReturned = protocols_.value("Vexa_Sarvel-Vora_Frame0_64")->isActive();
            worker.quit();
        });
        QTRY_VERIFY(worker.isFinished());
        worker.wait();
        // The caller was held until the group was loaded on the GUI thread.
        QVERIFY(activeWhenReturned);
        QCOMPARE(createdOn, qApp->thread());
        QCOMPARE(currentPage(), QString("Vexa_Sarvel-Vora_Frame0_64"));
    }

    void namesListedAndFound()
    {
        const QStringList expected{
            "Vexa_Trelvan_Anchor_Frame0", "Vexa_Trelvan_Tag_Frame0",    "Vexa_Trelvan_Node_Frame0",
            "Vexa_Trelvan_Node_Frame1",   "Vexa_Trelvan_Node_Frame2",   "Vexa_Trelvan_Node_Frame3",
            "Vexa_Trelvan_Node_Frame4",   "Vexa_Trelvan_AOA_Node_Frame0", "Vexa_Trelvan_Node_Frame5",
            "Vexa_Trelvan_Node_Frame7",   "NMEA0183",                   "UBX",
            "Vexa_Sarvel_Frame0",         "Vexa_Sarvel-Vora_Frame0_64", "Vexa_Sarvel-Vora_Frame0_16",
            "iot_frame0",                 "UWB_Analyzer"};
        QCOMPARE(ProtocolFactory::supportedProtocolNames(), expected);
        // Every listed name can be loaded.
        for (const QString& name : expected)
            QVERIFY2(ProtocolFactory::findGroup(name), qPrintable(name));

        QCOMPARE(ProtocolFactory::findProtocolName(recordingDataDir + "/Vexa_Trelvan_Node_Frame1_20261207_101500.dat"),
                 QString("Vexa_Trelvan_Node_Frame1"));
        QCOMPARE(ProtocolFactory::findProtocolName("Vexa_Sarvel-Vora_Frame0_16_20261207.dat"),
                 QString("Vexa_Sarvel-Vora_Frame0_16"));
        QCOMPARE(ProtocolFactory::findProtocolName("/data/UWB_Analyzer_1.dat"), QString("UWB_Analyzer"));
        QCOMPARE(ProtocolFactory::findProtocolName("recording_20261207_101500.dat"), QString());
        QCOMPARE(ProtocolFactory::findProtocolName("vexa_trelvan_node_frame1_1.dat"), QString());
        QCOMPARE(ProtocolFactory::findProtocolName(QString()), QString());
    }
};

TALMENO_TEST_MAIN(TestFactory)
#include "tst_factory.moc"
