#include "record/WidgetDataPlayerBar.h"

#include "foundation/UserPaths.h"
#include "foundation/ZIconsManager.h"
#include "foundation/ZLog.h"
#include "foundation/ZThreadManager.h"
#include "link/ZSerialPort.h"
#include "link/ZUiSerialPortAssistant.h"
#include "protocol/ProductHooks.h"
#include "protocol/ProtocolFactory.h"
#include "protocol/ProtocolDataProcessor.h"
#include "protocol/ProtocolFrameExtraction.h"
#include "record/DataExportObserver.h"
#include "record/RecordingCharger.h"
#include "record/ReplayCharger.h"
#include "record/SliderWithTag.h"
#include "views/RefreshManagers.h" // completes a type ModelViewManagers.h holds in a QPointer
#include "views/ModelViewManagers.h"
#include "views/ViewHooks.h"
#include "widgets/ZWidgetHelpers.h"

#include <QAction>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QSettings>
#include <QSignalBlocker>
#include <QThread>
#include <QTime>
#include <QToolButton>

namespace {

// Runs one search pass on the extraction thread and one decoding pass on the
// processing thread, so that every byte handed to the pipeline so far is decoded.
void drainPipeline()
{
    ZThreadManager::instance()->runInThread(2, [] { ProtocolFrameExtraction::instance()->extractFrames(); }, true);
    ZThreadManager::instance()->runInThread(3, [] { ProtocolDataProcessor::instance()->processFrames(); }, true);
}

WidgetDataPlayerBar* g_bar = nullptr;

// Icon numbers of the general table.
constexpr int IconAddTag = 0;
constexpr int IconExport = 22;
constexpr int IconPause = 52;
constexpr int IconPlay = 53;
constexpr int IconRecording = 62;
constexpr int IconReplay = 63;

QIcon icon(int id)
{
    return ZIconsManager::instance()->icon(id);
}

// Deletes a worker object in its own thread while that runs, else here.
void disposeWorker(QObject* object)
{
    if (!object)
        return;
    QThread* own = object->thread();
    if (own && own != QThread::currentThread() && own->isRunning())
        object->deleteLater();
    else
        delete object;
}
} // namespace

WidgetDataPlayerBar* WidgetDataPlayerBar::createInstance(QWidget* parent)
{
    if (!g_bar)
        g_bar = new WidgetDataPlayerBar(parent);
    return g_bar;
}

WidgetDataPlayerBar* WidgetDataPlayerBar::instance()
{
    return g_bar;
}

WidgetDataPlayerBar::CriticalBox& WidgetDataPlayerBar::criticalBoxHook()
{
    static CriticalBox hook = [](QWidget* parent, const QString& title, const QString& text) {
        QMessageBox::critical(parent, title, text, QMessageBox::Ok);
    };
    return hook;
}

QString WidgetDataPlayerBar::timeFormatFor(qint64 ms)
{
    const QTime end = QTime(0, 0).addMSecs(ms);
    if (end.hour() != 0)
        return QStringLiteral("hh:mm:ss:zzz");
    if (end.minute() != 0)
        return QStringLiteral("mm:ss:zzz");
    return QStringLiteral("ss:zzz");
}

WidgetDataPlayerBar::WidgetDataPlayerBar(QWidget* parent)
    : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);

    recorder_ = new RecordingCharger;
    replayCharger_ = new ReplayCharger;
    ZThreadManager::instance()->moveToThread(recorder_, 1);
    ZThreadManager::instance()->moveToThread(replayCharger_, 1);
    ReplayCharger* charger = replayCharger_;

    speedBox_ = new QDoubleSpinBox(this);
    speedBox_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    speedBox_->setMinimumWidth(80);
    speedBox_->setDecimals(2);
    speedBox_->setRange(0.01, 100.0);
    speedBox_->setSingleStep(0.1);
    speedBox_->setValue(QSettings().value("ReplaySpeed", 1.0).toDouble());
    connect(speedBox_, &QDoubleSpinBox::editingFinished, this, [this, charger] {
        QSettings().setValue("ReplaySpeed", speedBox_->value());
        charger->setSpeed(speedBox_->value());
    });
    emit speedBox_->editingFinished();

    playButton_ = new QToolButton(this);
    playButton_->setCheckable(true);
    playButton_->setAutoRaise(true);
    playButton_->setIcon(icon(IconPlay));
    playButton_->setEnabled(false);
    connect(playButton_, &QToolButton::toggled, this, [this](bool checked) {
        playButton_->setIcon(icon(checked ? IconPause : IconPlay));
    });
    connect(playButton_, &QToolButton::toggled, charger, &ReplayCharger::setPlaying, Qt::QueuedConnection);

    startLabel_ = new QLabel(this);
    endLabel_ = new QLabel(this);
    slider_ = new SliderWithTag(this);
    connect(charger, &ReplayCharger::replayFinished, this, [this] {
        playButton_->setChecked(false);
        slider_->setValue(0);
        emit slider_->sliderReleased();
        // The end of the data ends an export that ran with it, once the last chunks
        // have gone through the pipeline: ended at once, it lost their frames.
        if (exportAction_->isChecked()) {
            drainPipeline();
            exportAction_->setChecked(false);
        }
    }, Qt::QueuedConnection);
    connect(slider_, &QSlider::valueChanged, this, [this](int v) { showTime(v); });
    connect(slider_, &QSlider::sliderReleased, this, [this] { emit sliderReleased(slider_->value()); });
    connect(this, &WidgetDataPlayerBar::sliderReleased, charger, &ReplayCharger::jumpTo, Qt::QueuedConnection);
    connect(charger, &ReplayCharger::msChanged, this, &WidgetDataPlayerBar::updateSlide);
    damageLabel_ = new QLabel(this);
    damageLabel_->hide();
    connect(charger, &ReplayCharger::replayDamaged, this, [this](qlonglong ms) {
        playButton_->setChecked(false);
        updateSlide(ms);
        damageLabel_->setText(tr("Damaged recording: replay stopped at %1")
                                  .arg(QTime(0, 0).addMSecs(int(qBound<qlonglong>(0, ms, INT_MAX))).toString(timeFormat_)));
        damageLabel_->show();
    });

    addStampButton_ = new QToolButton(this);
    addStampButton_->setIcon(icon(IconAddTag));
    addStampButton_->setToolTip(tr("Add Stamp"));
    addStampButton_->hide();
    connect(addStampButton_, &QToolButton::clicked, this, [this] { slider_->addTag(slider_->value(), QString()); });

    exportAction_ = new QAction(icon(IconExport), tr("Export Data(Excel)"), this);
    exportAction_->setCheckable(true);
    connect(exportAction_, &QAction::toggled, this, [this](bool checked) {
        const bool ok = DataExportSubject::instance()->setExporting(checked);
        // The action shows what runs: an export that could not start is not checked.
        if (checked && !ok)
            exportAction_->setChecked(false);
    });

    recordingAction_ = new QAction(icon(IconRecording), tr("Data Recording"), this);
    recordingAction_->setCheckable(true);
    replayAction_ = new QAction(icon(IconReplay), tr("Data Replay"), this);
    replayAction_->setCheckable(true);
    connect(recordingAction_, &QAction::toggled, this, [this](bool checked) { replayAction_->setEnabled(!checked); });
    connect(recordingAction_, &QAction::triggered, this, &WidgetDataPlayerBar::handleRecordingClicked);
    connect(replayAction_, &QAction::toggled, this, [this](bool checked) { recordingAction_->setEnabled(!checked); });
    connect(replayAction_, &QAction::triggered, this, &WidgetDataPlayerBar::openReplayFile);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* speedLabel = new QLabel(tr("Speed"), this);
    speedLabel->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    layout->addWidget(speedLabel);
    layout->addWidget(speedBox_);
    layout->addWidget(playButton_);
    layout->addWidget(startLabel_);
    layout->addWidget(slider_);
    layout->addWidget(endLabel_);
    layout->addWidget(damageLabel_);
    layout->addWidget(addStampButton_);
    layout->addWidget(createVLine(this));

    // Device recognition ends a running replay before it probes the port.
    ProductHooks::setStopReplayHook([] {
        if (WidgetDataPlayerBar* bar = WidgetDataPlayerBar::instance())
            bar->stopReplay();
    });
}

WidgetDataPlayerBar::~WidgetDataPlayerBar()
{
    if (g_bar == this) {
        g_bar = nullptr;
        ProductHooks::setStopReplayHook(nullptr);
    }
    if (recorder_ && recorder_->isRecording()) {
        if (ZSerialPort* port = serialPort())
            disconnect(port, &ZSerialPort::dataArrived, recorder_, &RecordingCharger::record);
        if (!recorder_->finishRecording())
            zCritical() << "Error occurred while saving the recording file";
    }
    if (replaying_ && replayCharger_) {
        replayCharger_->removeTempFiles();
        connectLiveData(true);
    }
    DataExportSubject::destroyInstance();
    disposeWorker(recorder_);
    disposeWorker(replayCharger_);
}

void WidgetDataPlayerBar::setSerialPort(ZSerialPort* port)
{
    port_ = port;
    portSet_ = true;
}

ZSerialPort* WidgetDataPlayerBar::serialPort() const
{
    if (portSet_)
        return port_;
    ZUiSerialPortAssistant* terminal = ZUiSerialPortAssistant::existing();
    return terminal ? terminal->serialPort() : nullptr;
}

bool WidgetDataPlayerBar::isRecording() const
{
    return recorder_ && recorder_->isRecording();
}

void WidgetDataPlayerBar::connectLiveData(bool connected)
{
    ZSerialPort* port = serialPort();
    if (!port)
        return;
    ProtocolFrameExtraction* extraction = ProtocolFrameExtraction::instance();
    if (connected) {
        connect(port, &ZSerialPort::dataArrived, extraction, &ProtocolFrameExtraction::appendData,
                Qt::ConnectionType(Qt::DirectConnection | Qt::UniqueConnection));
    } else {
        disconnect(port, &ZSerialPort::dataArrived, extraction, &ProtocolFrameExtraction::appendData);
    }
}

void WidgetDataPlayerBar::handleRecordingClicked(bool recording)
{
    if (!recorder_)
        return;
    ZSerialPort* port = serialPort();
    if (recording) {
        if (recorder_->startRecording()) {
            if (port) {
                connect(port, &ZSerialPort::dataArrived, recorder_.data(), &RecordingCharger::record,
                        Qt::ConnectionType(Qt::DirectConnection | Qt::UniqueConnection));
            }
        } else {
            recordingAction_->setChecked(false);
        }
        return;
    }
    if (port)
        disconnect(port, &ZSerialPort::dataArrived, recorder_.data(), &RecordingCharger::record);
    if (!recorder_->isRecording())
        return;
    if (!recorder_->finishRecording())
        zCritical() << "Error occurred while saving the recording file";
}

void WidgetDataPlayerBar::showTime(int ms)
{
    startLabel_->setText(QTime(0, 0).addMSecs(ms).toString(timeFormat_));
}

void WidgetDataPlayerBar::openReplayFile(bool open)
{
    damageLabel_->hide();
    if (!open) {
        replayAction_->setChecked(false);
        playButton_->setChecked(false);
        playButton_->setEnabled(false);
        if (replayCharger_)
            replayCharger_->removeTempFiles();
        connectLiveData(true);
        replaying_ = false;
        emit replayStatusChanged(false);
        return;
    }

    ModelViewManagers* managers = ModelViewManagers::instance();
    const QString current = managers ? managers->currentName() : QString();
    QString filter;
    if (!current.isEmpty())
        filter = tr("Current Protocol(*%1*.dat);;").arg(current);
    filter += tr("All Protocols(*.dat)");
    const QString path = ViewHooks::getOpenFileName(this, tr("Choose Data file"), recordingDataDir, filter);
    if (path.isEmpty()) {
        replayAction_->setChecked(false);
        return;
    }

    // The file's own name says which protocol recorded it; a folder named after
    // another protocol must not decide.
    QString name = ProtocolFactory::findProtocolName(QFileInfo(path).fileName());
    if (name.isEmpty())
        name = ProtocolFactory::findProtocolName(path);
    if (name.isEmpty()) {
        criticalBoxHook()(this, tr("Error occurred"),
                          tr("Unable to extract supported protocol name from file name, please check if the file name has been modified"));
        replayAction_->setChecked(false);
        return;
    }
    ProtocolFactory::loadProtocols(name, this);

    if (!replayCharger_ || !replayCharger_->startReplay(path)) {
        replayAction_->setChecked(false);
        return;
    }

    const qint64 last = replayCharger_->header().lastElapsedMs();
    const int end = int(qBound<qint64>(0, last, INT_MAX));
    timeFormat_ = timeFormatFor(end);
    startLabel_->setText(QTime(0, 0).toString(timeFormat_));
    endLabel_->setText(QTime(0, 0).addMSecs(end).toString(timeFormat_));

    slider_->clearTags();
    slider_->setRange(0, end);
    for (const RecordingStamp& stamp : replayCharger_->stamps())
        slider_->addTag(int(qBound<qint64>(0, stamp.ms, INT_MAX)), stamp.text);

    slider_->setValue(0);
    playButton_->setEnabled(true);
    playButton_->setChecked(true);

    // While replaying, the port's bytes stay out of frame extraction.
    connectLiveData(false);
    replaying_ = true;
    emit replayStatusChanged(true);
}

void WidgetDataPlayerBar::stopReplay()
{
    if (replayAction_->isChecked()) {
        replayAction_->setChecked(false);
        openReplayFile(false);
    }
}

void WidgetDataPlayerBar::updateSlide(qlonglong ms)
{
    if (!slider_->isSliderDown())
        slider_->setValue(int(qBound<qlonglong>(0, ms, INT_MAX)));
}

bool WidgetDataPlayerBar::finishOnClose()
{
    bool ok = true;
    if (recordingAction_->isChecked() || isRecording()) {
        {
            const QSignalBlocker blocker(recordingAction_);
            recordingAction_->setChecked(false);
        }
        replayAction_->setEnabled(true);
        if (ZSerialPort* port = serialPort())
            disconnect(port, &ZSerialPort::dataArrived, recorder_.data(), &RecordingCharger::record);
        if (recorder_ && recorder_->isRecording() && !recorder_->finishRecording()) {
            zCritical() << "Error occurred while saving the recording file";
            ok = false;
        }
    }
    if (exportAction_->isChecked() || DataExportSubject::instance()->isExporting()) {
        {
            const QSignalBlocker blocker(exportAction_);
            exportAction_->setChecked(false);
        }
        ok = DataExportSubject::instance()->setExporting(false) && ok;
    }
    // The program may end right after: every workbook must be on disk first.
    ok = DataExportSubject::instance()->waitForSaves() && ok;
    stopReplay();
    return ok;
}
