#include "protocol/WidgetSystemInfo.h"

#include "foundation/ZAlgo.h"
#include "foundation/ZIconsManager.h"
#include "foundation/ZLog.h"
#include "foundation/ZTimerManager.h"
#include "link/ZSerialPort.h"
#include "link/ZUiSerialPortAssistant.h"
#include "protocol/ProductHandleBase.h"
#include "protocol/ProductHooks.h"
#include "protocol/ProductsManager.h"
#include "protocol/ProtocolFrameExtraction.h"
#include "protocol/ProtocolSystem.h"
#include "protocol/SystemInfoSubject.h"
#include "widgets/ZColorTextLabel.h"

#include <QAction>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QLabel>
#include <QSettings>
#include <QTime>

#include <algorithm>

namespace {
WidgetSystemInfo* g_widget = nullptr;
const char* const kRecognizedBaudrateKey = "RecognizedBaudrate";
} // namespace

WidgetSystemInfo* WidgetSystemInfo::instance(QWidget* parent)
{
    if (!g_widget)
        g_widget = new WidgetSystemInfo(parent);
    return g_widget;
}

WidgetSystemInfo* WidgetSystemInfo::existing()
{
    return g_widget;
}

WidgetSystemInfo::WidgetSystemInfo(QWidget* parent)
    : QWidget(parent)
{
    ProtocolSystem::instance(this);

    productLabel_ = new QLabel(this);
    hardwareLabel_ = new QLabel(tr("Hardware "), this);
    firmwareLabel_ = new QLabel(tr("Firmware "), this);
    baudrateLabel_ = new QLabel(tr("Baudrate "), this);
    for (QLabel* label : {hardwareLabel_, firmwareLabel_, baudrateLabel_})
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    baudrateLabel_->hide();
    failedLabel_ = new ZColorTextLabel(tr("Recognize failed"), Qt::red, this);
    failedLabel_->hide();

    infoWidget_ = new QWidget(this);
    auto* infoLayout = new QHBoxLayout(infoWidget_);
    infoLayout->setContentsMargins(0, 0, 0, 0);
    infoLayout->addWidget(productLabel_);
    infoLayout->addWidget(hardwareLabel_);
    infoLayout->addWidget(firmwareLabel_);
    infoLayout->addWidget(baudrateLabel_);
    infoWidget_->hide();

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(failedLabel_);
    layout->addWidget(infoWidget_);

    recognizeAction_ = new QAction(ZIconsManager::instance()->icon(3), tr("Recognize"), this);
    // Disabled until the port opens (it is closed at start).
    recognizeAction_->setEnabled(ZSerialPortInterface::isOpen());
    connect(recognizeAction_, &QAction::triggered, this, [this] { recognizeProduct(); });
}

WidgetSystemInfo::~WidgetSystemInfo()
{
    if (g_widget == this)
        g_widget = nullptr;
}

const QList<int>& WidgetSystemInfo::baudrates()
{
    static const QList<int> rates{4800,   9600,   14400,  19200,   38400,   43000,   57600,   76800,   115200,
                                  230400, 460800, 921600, 1000000, 1200000, 1500000, 2000000, 3000000};
    return rates;
}

QList<int> WidgetSystemInfo::probeOrder(int rememberedRate)
{
    QList<int> order = baudrates();
    std::sort(order.begin(), order.end(), std::greater<int>());
    if (baudrates().contains(rememberedRate))
        order.prepend(rememberedRate);
    return order;
}

void WidgetSystemInfo::handleSerialPortStatusChanged(bool isOpen)
{
    // While recognising, the action stays disabled; its end looks at the port again.
    if (!recognizing_)
        recognizeAction_->setEnabled(isOpen);
}

int WidgetSystemInfo::actualBaudrate() const
{
    ZUiSerialPortAssistant* terminal = ZUiSerialPortAssistant::existing();
    return terminal ? terminal->serialPort()->baudRate() : 0;
}

bool WidgetSystemInfo::recognizeProduct()
{
    if (recognizing_)
        return false;
    ProductHooks::stopReplay();

    ProtocolSystem* system = ProtocolSystem::instance();
    ZScopeGuard protocolGuard([system] { system->setActive(true); }, [system] { system->setActive(false); });
    ZScopeGuard actionGuard(
        [this] {
            recognizing_ = true;
            recognizeAction_->setEnabled(false);
        },
        [this] {
            recognizing_ = false;
            // The port may have closed meanwhile: the action follows it.
            recognizeAction_->setEnabled(ZSerialPortInterface::isOpen());
        });

    const QList<int> order = probeOrder(QSettings().value(kRecognizedBaudrateKey, 0).toInt());
    QStringList texts;
    for (int rate : order)
        texts << QString::number(rate);
    zDebug().nospace() << "recognize from baudrates :std::list(" << texts.join(", ") << ")";

    for (int rate : order) {
        // A closed port cannot answer: probing the remaining rates would only wait.
        if (!ZSerialPortInterface::isOpen())
            break;
        if (tryRecognizeAtBaudrate(rate))
            return true;
    }
    finishRecognition(false);
    return false;
}

bool WidgetSystemInfo::tryRecognizeAtBaudrate(int baudrate)
{
    if (ZUiSerialPortAssistant* terminal = ZUiSerialPortAssistant::existing())
        terminal->setBaudRate(baudrate, false);
    const int timeoutMs = ZSerialPortInterface::timeoutForBytes(SystemInfoFrame::kSize, 300);
    ProtocolSystem* system = ProtocolSystem::instance();
    const QByteArray request = system->packReadRequest();
    zDebug() << QStringLiteral("send command of reading system info in baudrate:%1,time:%2")
                    .arg(baudrate)
                    .arg(QTime::currentTime().toString("hh:mm:ss.zzz"));

    // The port delivers its bytes on this thread's event loop, which runs only inside
    // the wait: the reply cannot be decoded before the wait has been set up.
    const qint64 requestAt = ProtocolFrameExtraction::bytesReceived();
    ZSerialPortInterface::write(request);
    QElapsedTimer elapsed;
    elapsed.start();
    // Only bytes that came after the request answer it: a reply to an earlier probe,
    // decoded late, would name this rate for the device's.
    ZScopeGuard awaiting([system] { system->setAwaited(true); }, [system] { system->setAwaited(false); });
    for (;;) {
        const int left = timeoutMs - static_cast<int>(elapsed.elapsed());
        if (left <= 0 || waitForReply(ZTimerManager::instance(), left, system, &ProtocolBase::dataParseFinished))
            return false;
        const qint64 replyAt = system->receivedStreamOffset();
        if (replyAt < 0 || replyAt >= requestAt)
            break;
        zDebug() << "reply to an earlier request ignored, baudrate:" << baudrate;
    }
    zInfo() << QStringLiteral("cnt:%1,try recognize,baudrate:%2, elapsed(ms):%3")
                   .arg(0)
                   .arg(baudrate)
                   .arg(elapsed.elapsed());
    // A loop-back (or any echo) returns the command itself: no device answered.
    if (system->receivedFrame().toByteArray() == request)
        return false;
    return finishRecognition(true);
}

bool WidgetSystemInfo::finishRecognition(bool isRecognized)
{
    const SystemInfoFrame frame = ProtocolSystem::instance()->receivedFrame();
    ZUiSerialPortAssistant* terminal = ZUiSerialPortAssistant::existing();
    if (isRecognized) {
        ProductHandleBase* handle = ProductsManager::instance()->setCurrentProduct(frame.productType(), frame.modelId());
        if (!handle)
            return false;
        productLabel_->setText(handle->displayName());
        hardwareLabel_->setText(tr("Hardware ") + handle->hardwareVersion().toString());
        firmwareLabel_->setText(tr("Firmware ") + handle->firmwareVersion().toString());
        const int actual = actualBaudrate();
        if (handle->deviceBaudrate() != actual)
            zCritical() << QStringLiteral("recognized baudrate(%1) != actual baudrate(%2)")
                               .arg(handle->deviceBaudrate())
                               .arg(actual);
        baudrateLabel_->setText(tr("Baudrate ") + QString::number(actual));
        if (terminal)
            terminal->setBaudRate(actual, true);
    } else {
        if (terminal)
            terminal->restoreBaudRate();
        if (!ProtocolSystem::instance()->isActive())
            zCritical() << "unexpected error,ProtocolSystem should be used when recognize";
    }
    QSettings().setValue(kRecognizedBaudrateKey, isRecognized ? actualBaudrate() : 0);
    infoWidget_->setVisible(isRecognized);
    failedLabel_->setVisible(!isRecognized);
    SystemInfoSubject::instance()->notify(isRecognized, frame);
    return true;
}

void WidgetSystemInfo::waitDataThenRecognize(int timeoutMs)
{
    QElapsedTimer elapsed;
    elapsed.start();
    ZTimerManager* timers = ZTimerManager::instance();
    if (ZUiSerialPortAssistant* terminal = ZUiSerialPortAssistant::existing())
        waitForReply(timers, timeoutMs, terminal->serialPort(), &ZSerialPort::dataArrived);
    else
        timers->wait(timeoutMs);
    zInfo() << QStringLiteral("wait dataArrived for recognize,%1 ms").arg(elapsed.elapsed());
    timers->wait(1000);
    recognizeProduct();
}
