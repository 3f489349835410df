#include "foundation/UserPaths.h"
#include "foundation/ZThreadManager.h"
#include "link/ZSerialPort.h"
#include "link/ZUiSerialPortAssistant.h"
#include "protocol/ProductHandleBase.h"
#include "protocol/ProductHooks.h"
#include "protocol/ProductRegistration.h"
#include "protocol/ProductsManager.h"
#include "protocol/ProtocolFrameExtraction.h"
#include "protocol/ProtocolSystem.h"
#include "protocol/SystemInfoSubject.h"
#include "protocol/WidgetSystemInfo.h"
#include "widgets/ZColorTextLabel.h"
#include "widgets/ZComboBox.h"
#include "widgets/ZComboBoxEditable.h"
#include "helpers/PipelineEnv.h"
#include "helpers/TestProtocols.h"
#include "sim/DeviceSimulator.h"
#include "sim/ProductReplies.h"
#include "support/testenv.h"

#include <QAction>
#include <QElapsedTimer>
#include <QLabel>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QThread>
#include <QTimer>

#include <atomic>

namespace {

constexpr int kDeviceRate = 230400;
constexpr int kProduct = 4; // a registered product: "Sarvel Kiro"

class TestHandle : public ProductHandleBase
{
public:
    TestHandle(int type, const QString& key, const QString& name, QObject* parent)
        : ProductHandleBase(type, parent)
    {
        name_ = key;
        modelNames_.insert(0, name);
    }
    QString handleProductRecognized() override
    {
        ++recognitions;
        return QString();
    }
    int recognitions = 0;
};

// While held, its decode keeps the frames behind it waiting.
class SlowDecoder : public FixedProtocol
{
public:
    SlowDecoder()
        : FixedProtocol("slow decoder", QByteArray("\xA7\x7A", 2), 16)
    {
    }
    void parseFrame(const QByteArray& frame) override
    {
        entered = true;
        QElapsedTimer t;
        t.start();
        while (held && t.elapsed() < 10000)
            QThread::msleep(1);
        FixedProtocol::parseFrame(frame);
    }
    std::atomic<bool> held{false};
    std::atomic<bool> entered{false};
};

class Observer : public SystemInfoObserver
{
public:
    void handleSystemInfoChanged(bool isRecognized, const SystemInfoFrame& frame) override
    {
        calls << qMakePair(isRecognized, frame.toByteArray());
    }
    QList<QPair<bool, QByteArray>> calls;
};

// The rates probed, in order, from the probe log lines.
QList<int> probedRates(const testenv::LogCapture& log)
{
    static const QRegularExpression re("send command of reading system info in baudrate:(\\d+),time:\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d$");
    QList<int> rates;
    for (const QString& line : log.lines()) {
        const QRegularExpressionMatch m = re.match(line);
        if (m.hasMatch())
            rates << m.captured(1).toInt();
    }
    return rates;
}

QList<int> descending()
{
    return {3000000, 2000000, 1500000, 1200000, 1000000, 921600, 460800, 230400, 115200,
            76800,   57600,   43000,   38400,   19200,   14400,   9600,   4800};
}

} // namespace

class TestRecognition : public QObject
{
    Q_OBJECT

    QWidget mainWindow_;
    sim::DeviceSimulator device_;
    std::shared_ptr<sim::SystemFrameHandler> reply_;
    LengthFieldProtocol earlier_{"earlier device", QByteArray("\x55\x02", 2), 11};
    SlowDecoder slow_;
    ZUiSerialPortAssistant* terminal_ = nullptr;
    WidgetSystemInfo* widget_ = nullptr;
    Observer observer_;
    int replayStops_ = 0;

    bool openPort(const QString& boxRate = "9600")
    {
        terminal_->baudrateComboBox()->setCurrentText(boxRate);
        return terminal_->setSerialPortOpen(true);
    }

private slots:
    void initTestCase()
    {
        initUserDataFolders();
        testenv::startWorkerThreads();
        ZThreadManager::instance()->moveToThread(ProtocolFrameExtraction::instance(), 2);
        ProtocolFrameExtraction::instance()->setEnabled(true);

        QString error;
        QVERIFY2(device_.start(&error), qPrintable(error));
        device_.setDeviceRate(kDeviceRate);
        reply_ = sim::productHandler(kProduct, 0, kDeviceRate);
        device_.addHandler(reply_);
        qputenv("TALMENO_EXTRA_PORTS", device_.portPath().toLocal8Bit());

        initSerialPortInterface(&mainWindow_);
        terminal_ = ZUiSerialPortAssistant::existing();
        QVERIFY(terminal_);
        connect(terminal_->serialPort(), &ZSerialPort::dataArrived, ProtocolFrameExtraction::instance(),
                &ProtocolFrameExtraction::appendData, Qt::DirectConnection);
        QTRY_VERIFY_WITH_TIMEOUT(terminal_->portComboBox()->findText(device_.portPath()) >= 0, 3000);
        terminal_->portComboBox()->setCurrentIndex(terminal_->portComboBox()->findText(device_.portPath()));

        ProductRegistration::registerLine(ProductRegistration::ProductLine::Sarvel,
                                          [](int type, const QString& key, const QString& name, QObject* parent) {
                                              return new TestHandle(type, key, name, parent);
                                          });
        ProductHooks::setStopReplayHook([this] {
            // The replay ends before anything is probed.
            QVERIFY(!ProtocolSystem::instance()->isActive());
            ++replayStops_;
        });
        ProductsManager::instance(&mainWindow_);
        widget_ = WidgetSystemInfo::existing();
        QVERIFY(widget_);
    }

    void init()
    {
        QSettings().remove("RecognizedBaudrate");
        device_.setMode(sim::DeviceSimulator::Mode::Device);
        reply_->setReply(sim::systemFrameReply(sim::productInfo(kProduct, 0, kDeviceRate)));
        device_.clearReceived();
        replayStops_ = 0;
    }

    void cleanup()
    {
        terminal_->setSerialPortOpen(false);
    }

    void widgetAtStartAndActionFollowsPort()
    {
        QCOMPARE(WidgetSystemInfo::instance(nullptr), widget_);
        QCOMPARE(widget_->recognizeAction()->text(), QString("Recognize"));
        QVERIFY(!widget_->recognizeAction()->icon().isNull());
        QVERIFY(!widget_->recognizeAction()->isEnabled());
        QVERIFY(widget_->infoWidget()->isHidden());
        QVERIFY(widget_->failedLabel()->isHidden());
        QCOMPARE(widget_->failedLabel()->text(), QString("Recognize failed"));
        QCOMPARE(widget_->failedLabel()->color(), QColor(Qt::red));
        QVERIFY(widget_->baudrateLabel()->isHidden());
        QCOMPARE(widget_->hardwareLabel()->alignment(), Qt::AlignLeft | Qt::AlignVCenter);

        QVERIFY(openPort());
        QVERIFY(widget_->recognizeAction()->isEnabled());
        terminal_->setSerialPortOpen(false);
        QVERIFY(!widget_->recognizeAction()->isEnabled());
    }

    void probeOrder()
    {
        QList<int> withRemembered = descending();
        withRemembered.prepend(115200);
        QCOMPARE(WidgetSystemInfo::probeOrder(115200), withRemembered);
        QCOMPARE(WidgetSystemInfo::probeOrder(12345), descending());
        QCOMPARE(WidgetSystemInfo::probeOrder(0), descending());
        QCOMPARE(WidgetSystemInfo::baudrates().size(), 17);
        QCOMPARE(WidgetSystemInfo::baudrates().at(5), 43000);
    }

    void recognisesAtTheDeviceRateAndRemembersIt()
    {
        QVERIFY(openPort("9600"));
        QSignalSpy recognized(ProductsManager::instance(), &ProductsManager::productRecognized);
        observer_.calls.clear();
        testenv::LogCapture log;
        QVERIFY(widget_->recognizeProduct());

        QCOMPARE(replayStops_, 1);
        QCOMPARE(probedRates(log), descending().mid(0, 8));
        QStringList texts;
        for (int r : descending())
            texts << QString::number(r);
        QCOMPARE(log.count("recognize from baudrates :std::list(" + texts.join(", ") + ")"), 1);
        QCOMPARE(log.count(QString("cnt:0,try recognize,baudrate:%1, elapsed(ms):").arg(kDeviceRate)), 1);
        QCOMPARE(log.count("!= actual baudrate"), 0);
        // One read request per probe, and nothing else.
        QCOMPARE(device_.received(), sim::systemReadRequest().repeated(8));

        QCOMPARE(QSettings().value("RecognizedBaudrate").toInt(), kDeviceRate);
        QCOMPARE(terminal_->serialPort()->baudRate(), kDeviceRate);
        QCOMPARE(terminal_->baudrateComboBox()->currentText(), QString::number(kDeviceRate));
        QCOMPARE(widget_->productLabel()->text(), QString("Sarvel Kiro"));
        QCOMPARE(widget_->hardwareLabel()->text(), QString("Hardware 2.%1").arg(kProduct));
        QCOMPARE(widget_->firmwareLabel()->text(), QString("Firmware 3.0.7"));
        QCOMPARE(widget_->baudrateLabel()->text(), QString("Baudrate %1").arg(kDeviceRate));
        QVERIFY(!widget_->infoWidget()->isHidden());
        QVERIFY(widget_->failedLabel()->isHidden());
        QCOMPARE(recognized.count(), 1);
        QCOMPARE(ProductsManager::instance()->currentProductType(), kProduct);
        QCOMPARE(observer_.calls.size(), 1);
        QCOMPARE(observer_.calls.first().first, true);
        QCOMPARE(observer_.calls.first().second, reply_->reply());
        QVERIFY(SystemInfoSubject::instance()->isRecognized());
        // The probing protocol is put away and the action is back.
        QVERIFY(!ProtocolSystem::instance()->isActive());
        QVERIFY(widget_->recognizeAction()->isEnabled());

        // Next time the remembered rate is tried first: one probe.
        terminal_->setSerialPortOpen(false);
        QVERIFY(openPort("9600"));
        log.clear();
        QVERIFY(widget_->recognizeProduct());
        QCOMPARE(probedRates(log), QList<int>({kDeviceRate}));
        QCOMPARE(recognized.count(), 2);
    }

    void reportedRateMismatchIsOnlyLogged()
    {
        reply_->setReply(sim::systemFrameReply(sim::productInfo(kProduct, 0, 115200)));
        QSettings().setValue("RecognizedBaudrate", kDeviceRate);
        QVERIFY(openPort());
        testenv::LogCapture log;
        QVERIFY(widget_->recognizeProduct());
        QCOMPARE(log.count(QString("recognized baudrate(115200) != actual baudrate(%1)").arg(kDeviceRate)), 1);
        QCOMPARE(QSettings().value("RecognizedBaudrate").toInt(), kDeviceRate);
    }

    void silentDeviceFails()
    {
        // Observers hear of changes only: recognise once first when run alone.
        if (!SystemInfoSubject::instance()->isRecognized()) {
            QVERIFY(openPort());
            QVERIFY(widget_->recognizeProduct());
            terminal_->setSerialPortOpen(false);
        }
        device_.setMode(sim::DeviceSimulator::Mode::Silent);
        QSettings().setValue("RecognizedBaudrate", 460800);
        QVERIFY(openPort("57600"));
        observer_.calls.clear();
        testenv::LogCapture log;
        QVERIFY(!widget_->recognizeProduct());
        QList<int> expected = descending();
        expected.prepend(460800);
        QCOMPARE(probedRates(log), expected);
        QCOMPARE(log.count("cnt:0,try recognize"), 0);
        QCOMPARE(QSettings().value("RecognizedBaudrate").toInt(), 0);
        // The port is back at the rate chosen in the terminal, which did not change.
        QCOMPARE(terminal_->serialPort()->baudRate(), 57600);
        QCOMPARE(terminal_->baudrateComboBox()->currentText(), QString("57600"));
        QCOMPARE(log.count("restore baudrate:ui "), 1);
        QCOMPARE(log.count("unexpected error"), 0);
        QVERIFY(!widget_->failedLabel()->isHidden());
        QVERIFY(widget_->infoWidget()->isHidden());
        QCOMPARE(observer_.calls.size(), 1);
        QCOMPARE(observer_.calls.first().first, false);
        QVERIFY(!SystemInfoSubject::instance()->isRecognized());
        QVERIFY(widget_->recognizeAction()->isEnabled());
    }

    void echoIsNeverRecognised()
    {
        device_.setMode(sim::DeviceSimulator::Mode::Echo);
        QVERIFY(openPort("115200"));
        testenv::LogCapture log;
        QVERIFY(!widget_->recognizeProduct());
        // Every probe came back (as the command itself) and was refused.
        QCOMPARE(log.count("cnt:0,try recognize"), 17);
        QCOMPARE(QSettings().value("RecognizedBaudrate").toInt(), 0);
        QCOMPARE(terminal_->serialPort()->baudRate(), 115200);
        QVERIFY(!widget_->failedLabel()->isHidden());
    }

    void unsupportedProductCountsAsNoAnswer()
    {
        reply_->setReply(sim::systemFrameReply(sim::productInfo(8, 5, kDeviceRate)));
        QSettings().setValue("RecognizedBaudrate", kDeviceRate);
        QVERIFY(openPort("9600"));
        QSignalSpy recognized(ProductsManager::instance(), &ProductsManager::productRecognized);
        testenv::LogCapture log;
        QVERIFY(!widget_->recognizeProduct());
        QCOMPARE(log.count("product not support:8 5"), 2); // the remembered rate and its place
        QCOMPARE(recognized.count(), 0);
        QCOMPARE(QSettings().value("RecognizedBaudrate").toInt(), 0);
        QCOMPARE(terminal_->serialPort()->baudRate(), 9600);
    }

    void closingThePortEndsProbing()
    {
        device_.setMode(sim::DeviceSimulator::Mode::Silent);
        QVERIFY(openPort("9600"));
        testenv::LogCapture log;
        int probedAtClose = -1;
        QTimer::singleShot(700, this, [&] {
            probedAtClose = probedRates(log).size();
            terminal_->setSerialPortOpen(false);
        });
        QVERIFY(!widget_->recognizeProduct());
        // The rate being probed when the port closed is the last one.
        QVERIFY(probedAtClose > 0);
        QCOMPARE(probedRates(log).size(), probedAtClose);
        QVERIFY(!widget_->failedLabel()->isHidden());
        // The port is closed: the action must not invite another try.
        QVERIFY(!widget_->recognizeAction()->isEnabled());
    }

    void waitsForDataThenRecognises()
    {
        QSettings().setValue("RecognizedBaudrate", kDeviceRate);
        QVERIFY(openPort(QString::number(kDeviceRate)));
        testenv::LogCapture log;
        QTimer::singleShot(300, this, [this] { device_.send("boot banner\r\n"); });
        QElapsedTimer t;
        t.start();
        widget_->waitDataThenRecognize(3000);
        const qint64 elapsed = t.elapsed();
        QVERIFY2(elapsed >= 1250, qPrintable(QString::number(elapsed)));
        QCOMPARE(log.count("wait dataArrived for recognize,"), 1);
        // The wait for data ended when the data came, not at its time-out.
        const auto m = QRegularExpression("wait dataArrived for recognize,(\\d+) ms").match(log.lines().join('\n'));
        QVERIFY(m.hasMatch());
        QVERIFY2(m.captured(1).toInt() < 3000, qPrintable(m.captured(0)));
        QCOMPARE(probedRates(log), QList<int>({kDeviceRate}));
        QCOMPARE(QSettings().value("RecognizedBaudrate").toInt(), kDeviceRate);

        // No data at all: the whole wait passes first.
        log.clear();
        t.restart();
        widget_->waitDataThenRecognize(500);
        QVERIFY(t.elapsed() >= 1450);
        QCOMPARE(probedRates(log), QList<int>({kDeviceRate}));
    }

    // Only a probe's own reply recognises the device at its rate: one behind a false
    // head claiming seconds of stream is taken at once, one decoded late behind a slow
    // decode is not taken for the next probe's answer.
    void replyAnswersItsOwnProbe_data()
    {
        QTest::addColumn<bool>("slowDecode");
        QTest::addColumn<QList<int>>("probes");
        QTest::newRow("false head ahead") << false << QList<int>{kDeviceRate};
        QTest::newRow("slow decode ahead") << true << (QList<int>{kDeviceRate} + descending().mid(0, 8));
    }

    void replyAnswersItsOwnProbe()
    {
        QFETCH(bool, slowDecode);
        QFETCH(QList<int>, probes);
        ProtocolBase* ahead = slowDecode ? static_cast<ProtocolBase*>(&slow_) : &earlier_;
        const auto restore = qScopeGuard([this, ahead] {
            device_.stopStream();
            slow_.held = false;
            ahead->setActive(false);
        });
        ahead->setActive(true);
        QSettings().setValue("RecognizedBaudrate", kDeviceRate);
        QVERIFY(openPort("9600"));
        const quint64 received = terminal_->serialPort()->receivedBytes();
        QTimer release; // the slow decode ends once the next probe has gone out
        connect(&release, &QTimer::timeout, this, [this] { slow_.held = slow_.held && device_.receivedCount() < 64; });
        if (slowDecode) {
            slow_.held = true;
            device_.send(frames::fixed(slow_.head(), 16, 7));
            QTRY_VERIFY(slow_.entered);
            release.start(5);
        } else {
            // A head claiming 60,000 bytes every 30,000 bytes, at 15,000 bytes a second.
            device_.stream(QByteArray("\x55\x02\x60\xEA", 4) + QByteArray(29996, '\x11'), 15000, true);
            QTRY_VERIFY(terminal_->serialPort()->receivedBytes() > received + 1000);
        }

        testenv::LogCapture log;
        QVERIFY(widget_->recognizeProduct());
        QCOMPARE(probedRates(log), probes);
        QCOMPARE(log.count("cnt:0,try recognize"), 1);
        QCOMPARE(log.count("!= actual baudrate"), 0);
        QCOMPARE(QSettings().value("RecognizedBaudrate").toInt(), kDeviceRate);
        QCOMPARE(terminal_->serialPort()->baudRate(), kDeviceRate);
    }

    void everyProductIsRecognised()
    {
        // Handles for every line; the singleton lines name their models themselves.
        for (auto line : {ProductRegistration::ProductLine::Trelvan, ProductRegistration::ProductLine::TrelvanAoa,
                          ProductRegistration::ProductLine::Parvo, ProductRegistration::ProductLine::Iot,
                          ProductRegistration::ProductLine::UwbAna})
            ProductRegistration::registerLine(line, [](int type, const QString& key, const QString& name, QObject* parent) {
                auto* h = new TestHandle(type, key, name, parent);
                if (name.isEmpty())
                    h->setModelName(type == ProductRegistration::kAoaType ? 16 : 3, QString("own %1").arg(type));
                return h;
            });
        QSettings().setValue("RecognizedBaudrate", kDeviceRate);
        QVERIFY(openPort("9600"));
        for (const sim::ProductModel& p : sim::supportedProducts()) {
            if (p.key.isEmpty() && p.modelId != 3 && p.modelId != 16)
                continue; // the sample models the stand-in handles name
            const QString row = QString("type %1 model %2").arg(p.productType).arg(p.modelId);
            reply_->setReply(sim::systemFrameReply(sim::productInfo(p.productType, p.modelId, kDeviceRate)));
            testenv::LogCapture log;
            QVERIFY2(widget_->recognizeProduct(), qPrintable(row));
            QCOMPARE(probedRates(log), QList<int>({kDeviceRate}));
            ProductHandleBase* h = ProductsManager::instance()->currentProductHandle();
            QVERIFY(h);
            QCOMPARE(h->productType(), p.handledAs);
            QCOMPARE(ProductsManager::instance()->currentProductType(), p.handledAs);
            const QString name = p.key.isEmpty() ? QString("own %1").arg(p.handledAs) : p.displayName;
            QCOMPARE(widget_->productLabel()->text(), name);
            QCOMPARE(widget_->firmwareLabel()->text(), QString("Firmware 3.%1.7").arg(p.modelId));
        }
    }

    void cleanupTestCase()
    {
        delete ProductsManager::existing();
        delete widget_;
        QVERIFY(!WidgetSystemInfo::existing());
        delete ZUiSerialPortAssistant::existing();
    }
};

TALMENO_TEST_MAIN(TestRecognition)
#include "tst_recognition.moc"
