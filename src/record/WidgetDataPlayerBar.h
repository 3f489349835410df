#pragma once

#include <QPointer>
#include <QWidget>

#include <functional>

// Complete types for the guarded pointers below, so the header stands on its own.
#include "link/ZSerialPort.h"
#include "record/RecordingCharger.h"
#include "record/ReplayCharger.h"

class QAction;
class QDoubleSpinBox;
class QLabel;
class QToolButton;
class SliderWithTag;

// The one widget through which the user records the serial byte stream, replays a
// recording and exports decoded frames to Excel. It decides where the port's bytes
// go: into frame extraction while live, into the recorder as well while recording,
// and nowhere while a replay feeds frame extraction instead.
//
// The main window: creates it with createInstance(this) after the serial terminal,
// puts recordingAction(), replayAction() and exportAction() on its main tool bar and
// the bar in a bottom tool bar shown by replayStatusChanged, and calls
// finishOnClose() first thing when it closes (before the worker threads stop).
class WidgetDataPlayerBar : public QWidget
{
    Q_OBJECT
public:
    static WidgetDataPlayerBar* createInstance(QWidget* parent);
    // The bar if it exists.
    static WidgetDataPlayerBar* instance();
    ~WidgetDataPlayerBar() override;

    // The port whose bytes are recorded and kept from extraction during a replay;
    // the serial terminal's port unless set.
    void setSerialPort(ZSerialPort* port);
    ZSerialPort* serialPort() const;

    void openReplayFile(bool open);
    // Ends a running replay (device recognition calls it before probing).
    void stopReplay();
    // Closing the program: a running recording is finished and a running export is
    // saved, a replay is stopped. Returns false when a file could not be written.
    bool finishOnClose();

    bool isReplaying() const { return replaying_; }
    bool isRecording() const;

    // "hh:mm:ss:zzz", "mm:ss:zzz" or "ss:zzz" for a recording lasting ms.
    static QString timeFormatFor(qint64 ms);

    // How the missing protocol name is shown; replaceable so tests never block.
    using CriticalBox = std::function<void(QWidget* parent, const QString& title, const QString& text)>;
    static CriticalBox& criticalBoxHook();

    QAction* recordingAction() const { return recordingAction_; }
    QAction* replayAction() const { return replayAction_; }
    QAction* exportAction() const { return exportAction_; }
    QDoubleSpinBox* speedBox() const { return speedBox_; }
    QToolButton* playButton() const { return playButton_; }
    QToolButton* addStampButton() const { return addStampButton_; }
    SliderWithTag* slider() const { return slider_; }
    QLabel* startLabel() const { return startLabel_; }
    QLabel* endLabel() const { return endLabel_; }
    // Says where a damaged recording stopped the replay; hidden otherwise.
    QLabel* damageLabel() const { return damageLabel_; }
    QString timeFormat() const { return timeFormat_; }
    RecordingCharger* recorder() const { return recorder_; }
    ReplayCharger* replayCharger() const { return replayCharger_; }

public slots:
    void handleRecordingClicked(bool recording);
    void updateSlide(qlonglong ms);

signals:
    void sliderReleased(qlonglong ms);
    void replayStatusChanged(bool isReplaying);

private:
    explicit WidgetDataPlayerBar(QWidget* parent);
    void connectLiveData(bool connected);
    void showTime(int ms);

    QDoubleSpinBox* speedBox_ = nullptr;
    QLabel* startLabel_ = nullptr;
    QLabel* endLabel_ = nullptr;
    QLabel* damageLabel_ = nullptr;
    QToolButton* playButton_ = nullptr;
    SliderWithTag* slider_ = nullptr;
    QToolButton* addStampButton_ = nullptr;
    QString timeFormat_;
    QAction* recordingAction_ = nullptr;
    QAction* replayAction_ = nullptr;
    QAction* exportAction_ = nullptr;
    QPointer<RecordingCharger> recorder_;
    QPointer<ReplayCharger> replayCharger_;
    QPointer<ZSerialPort> port_;
    bool portSet_ = false;
    bool replaying_ = false;
};
