#pragma once

// Shared bench of the firmware tests: a simulated device with its boot loader on a
// pty, the terminal that owns the program's port, the frame pipeline, the product
// registry with a plain product line, and a stub of the wireless relay.

#include "foundation/UserPaths.h"
#include "foundation/ZThreadManager.h"
#include "link/ZSerialPort.h"
#include "link/ZSerialPortHooks.h"
#include "link/ZSerialPortInterface.h"
#include "link/ZUiSerialPortAssistant.h"
#include "protocol/FirmwareWirelessHooks.h"
#include "protocol/ProductHandleBase.h"
#include "protocol/ProductRegistration.h"
#include "protocol/ProductsManager.h"
#include "protocol/ProtocolFrameExtraction.h"
#include "protocol/ProtocolSystem.h"
#include "helpers/PipelineEnv.h"
#include "sim/BootloaderHandler.h"
#include "sim/DeviceSimulator.h"
#include "sim/ProductReplies.h"
#include "widgets/ZComboBox.h"
#include "widgets/ZComboBoxEditable.h"

#include "support/testenv.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QtEndian>

namespace fwtest {

constexpr int kAppRate = 115200;
constexpr int kProduct = 4; // "Sarvel Kiro", key "sarvel_kiro"

class TestHandle : public ProductHandleBase
{
public:
    TestHandle(int type, const QString& key, const QString& name, QObject* parent)
        : ProductHandleBase(type, parent)
    {
        name_ = key;
        modelNames_.insert(0, name);
    }
    QString handleProductRecognized() override { return QString(); }
};

inline QByteArray makeImage(int size, quint32 seed)
{
    QRandomGenerator gen(seed);
    QByteArray b(size, '\0');
    for (int i = 0; i < size; ++i)
        b[i] = static_cast<char>(gen.bounded(256));
    return b;
}

inline bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// The system reply of the simulated product with a firmware version.
inline QByteArray productReply(quint8 a, quint8 b, quint8 c, quint8 d = 0)
{
    sim::SystemInfo info = sim::productInfo(kProduct, 0, kAppRate);
    info.firmware[0] = a;
    info.firmware[1] = b;
    info.firmware[2] = c;
    info.firmware[3] = d;
    return sim::systemFrameReply(info);
}

// The relay frame for remote nodes as the positioning system builds it: 0x54 0xF1,
// command, 0xFF x3, role, id, u16 payload length, payload, 8-bit sum.
inline QByteArray stubWrap(quint8 command, const QByteArray& payload, quint8 role, qint8 id)
{
    QByteArray f;
    f.append(char(0x54)).append(char(0xF1)).append(char(command));
    f.append(QByteArray(3, char(0xFF)));
    f.append(char(role)).append(char(id));
    char len[2];
    qToLittleEndian<quint16>(static_cast<quint16>(payload.size()), len);
    f.append(len, 2).append(payload).append('\0');
    sim::sealSum8(f);
    return f;
}

// Splits a byte stream of relay frames; checks each frame's shape and sum.
inline QList<QByteArray> relayPayloads(const QByteArray& stream, bool* wellFormed)
{
    QList<QByteArray> out;
    *wellFormed = true;
    int i = 0;
    while (i + 11 <= stream.size()) {
        if (static_cast<quint8>(stream[i]) != 0x54 || static_cast<quint8>(stream[i + 1]) != 0xF1) {
            *wellFormed = false;
            return out;
        }
        const int len = qFromLittleEndian<quint16>(stream.constData() + i + 8);
        const int total = 10 + len + 1;
        if (i + total > stream.size()) {
            *wellFormed = false;
            return out;
        }
        const QByteArray frame = stream.mid(i, total);
        if (sim::sum8(frame.constData(), total - 1) != static_cast<quint8>(frame[total - 1]) ||
            static_cast<quint8>(frame[2]) != 0xA0 || frame.mid(3, 3) != QByteArray(3, char(0xFF)) || frame[6] != 0 ||
            static_cast<quint8>(frame[7]) != 0xFF)
            *wellFormed = false;
        out << frame.mid(10, len);
        i += total;
    }
    if (i != stream.size())
        *wellFormed = false;
    return out;
}

// One write through the interface hooks, with the time it was made.
struct Write
{
    QByteArray bytes;
    qint64 atMs;
};

class Bench
{
public:
    QWidget mainWindow;
    sim::DeviceSimulator device;
    std::shared_ptr<sim::BootloaderHandler> boot = std::make_shared<sim::BootloaderHandler>(kAppRate);
    std::shared_ptr<sim::SystemFrameHandler> reply = std::make_shared<sim::SystemFrameHandler>(productReply(1, 2, 3));
    ZUiSerialPortAssistant* terminal = nullptr;
    QList<Write> writes;
    QElapsedTimer clock;
    bool failRelayWrites = false;

    // Everything but the product registry, which a test makes with its own hooks.
    bool setUp(QString* error)
    {
        initUserDataFolders();
        testenv::startWorkerThreads();
        ZThreadManager::instance()->moveToThread(ProtocolFrameExtraction::instance(), 2);
        ProtocolFrameExtraction::instance()->setEnabled(true);
        if (!device.start(error))
            return false;
        device.addHandler(boot);
        device.addHandler(reply);
        qputenv("TALMENO_EXTRA_PORTS", device.portPath().toLocal8Bit());
        initSerialPortInterface(&mainWindow);
        terminal = ZUiSerialPortAssistant::existing();
        restoreHooks();
        QObject::connect(terminal->serialPort(), &ZSerialPort::dataArrived, ProtocolFrameExtraction::instance(),
                         &ProtocolFrameExtraction::appendData, Qt::DirectConnection);
        if (!QTest::qWaitFor([this] { return terminal->portComboBox()->findText(device.portPath()) >= 0; }, 10000)) {
            *error = "the simulated port was not listed";
            return false;
        }
        terminal->portComboBox()->setCurrentIndex(terminal->portComboBox()->findText(device.portPath()));
        ProductRegistration::registerLine(ProductRegistration::ProductLine::Sarvel,
                                          [](int type, const QString& key, const QString& name, QObject* parent) {
                                              return new TestHandle(type, key, name, parent);
                                          });
        clock.start();
        return true;
    }

    bool openPort(int rate = kAppRate)
    {
        terminal->baudrateComboBox()->setCurrentText(QString::number(rate));
        return terminal->setSerialPortOpen(true);
    }

    // Writes to the device and returns once the device has read the bytes: it hears
    // them at the rate the port had when they were written, as a device on a wire
    // would, however late its own thread runs. (The program changes the rate 5 ms
    // after a write, well within what a busy machine delays a thread.)
    bool writeHeard(const QByteArray& data)
    {
        ZSerialPort* port = terminal->serialPort();
        if (!port->isOpen())
            return false;
        const quint64 before = device.receivedCount();
        port->write(data);
        device.waitForReceived(before + quint64(data.size()), 10000);
        return true;
    }

    void resetDevice()
    {
        // Every write was read by the device when it returned: nothing of the
        // previous test is still on its way to it.
        ZSerialPort* port = terminal->serialPort();
        QTRY_VERIFY_WITH_TIMEOUT((!port->isOpen() || port->bytesToWrite() == 0) && device.unreadInput() == 0, 10000);
        boot->reset();
        reply->setReply(productReply(1, 2, 3));
        device.clearReceived();
        writes.clear();
    }

    // Records every write with its time; relay frames may be made to fail. Byte
    // time-outs of relay-sized writes are cut short so that the passes run fast.
    void captureWrites()
    {
        ZSerialPort* port = terminal->serialPort();
        ZSerialPortInterfaceManager* m = ZSerialPortInterfaceManager::instance();
        m->setWriteHook([this](const QByteArray& data) {
            writes << Write{data, clock.elapsed()};
            if (failRelayWrites && data.startsWith("\x54\xF1") && data.size() > 100)
                return false;
            return writeHeard(data);
        });
        m->setTimeoutHook([port](int bytes, int extraMs) {
            if (bytes > 100)
                return 2 + extraMs;
            return transferTimeoutMs(bytes, extraMs, port->baudRate(QSerialPort::AllDirections));
        });
    }

    void restoreHooks()
    {
        installSerialPortHooks(terminal->serialPort(), terminal);
        ZSerialPortInterfaceManager::instance()->setWriteHook([this](const QByteArray& data) { return writeHeard(data); });
        failRelayWrites = false;
    }

    // Makes the device look busy again once its new firmware has started, as a
    // rebooted device would.
    void announceRebootAfterCompletion(QObject* context)
    {
        auto* timer = new QTimer(context);
        timer->setInterval(20);
        QObject::connect(timer, &QTimer::timeout, timer, [this, timer] {
            if (boot->completed()) {
                device.send(QByteArray("boot ok\r\n"));
                timer->deleteLater();
            }
        });
        timer->start();
    }
};

inline FirmwareWirelessHooks::Hooks stubRelay(QList<QList<int>>* marks, QList<int>* searches = nullptr,
                                              QStringList* calls = nullptr)
{
    FirmwareWirelessHooks::Hooks h;
    h.wrapCommand = &stubWrap;
    h.setStateOfRoleUnless = [marks, calls](quint8 role, int keep, int state) {
        if (marks)
            *marks << QList<int>{role, keep, state};
        if (calls)
            *calls << "mark";
    };
    h.findAllNodes = [searches, calls](int ms) {
        if (searches)
            *searches << ms;
        if (calls)
            *calls << "find";
    };
    h.restoreLocalRunningMode = [calls] {
        if (calls)
            *calls << "restore";
    };
    h.enterWirelessSetting = [calls] {
        if (calls)
            *calls << "enter";
    };
    return h;
}

} // namespace fwtest
