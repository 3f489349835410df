#pragma once

#include "foundation/ZLog.h"
#include "link/ZSerialPortInterface.h"
#include "model/DataWidgetBaseFactory.h"
#include "products/uwbana/UwbAnaProtocols.h"
#include "widgets/DataWidgetBase.h"

#include <QDateTime>
#include <QList>
#include <QPointer>

#include <functional>
#include <memory>
#include <mutex>

class DataResourceItem;
class LineResourceCollector;
class PlainTextEditWithFile;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class ZTimerManager;

namespace UwbAna {

class ChipWidget;

// Records handed from the decoding thread to the page. Holds at most 1000: a page
// that is not refreshed (hidden) loses the oldest, not memory.
template <typename Record>
class RecordQueue
{
public:
    static constexpr int kMaxRecords = 1000;

    explicit RecordQueue(const QString& name)
        : name_(name)
    {
    }
    void push(std::shared_ptr<Record> record)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        records_.append(std::move(record));
        if (records_.size() > kMaxRecords) {
            records_.removeFirst();
            zWarning().nospace() << name_ << ":datas_.size() > 1000, previous data will be discarded";
        }
    }
    QList<std::shared_ptr<Record>> takeAll()
    {
        QList<std::shared_ptr<Record>> all;
        std::lock_guard<std::mutex> lock(mutex_);
        all.swap(records_);
        return all;
    }
    int size() const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return records_.size();
    }

private:
    mutable std::mutex mutex_;
    QList<std::shared_ptr<Record>> records_;
    QString name_;
};

// Waits in a local event loop until sender emits signal or timeoutMs pass; send
// (may be empty) runs once the wait listens. True when the time ran out.
template <typename Func>
bool waitForSignal(ZTimerManager* timers, int timeoutMs, const typename QtPrivate::FunctionPointer<Func>::Object* sender,
                   Func signal, const std::function<void()>& send = {})
{
    return sendAndWaitForReply(timers, timeoutMs, sender, signal, send);
}

// The analyser's page: the four chips, the device settings with "Read" and "Write",
// the device's time and voltage, and every frame exchanged, in decoding order.
class WidgetData : public DataWidgetBase, public ZSerialPortInterface
{
    Q_OBJECT
public:
    static constexpr int kExtraWaitMs = 3000;

    WidgetData(DataResourceItem* item, LineResourceCollector* collector, QWidget* parent = nullptr);
    ~WidgetData() override;
    // The page once made.
    static WidgetData* existing();

    void refresh() override;
    void handleSerialPortStatusChanged(bool isOpen) override;

    // "Time out." when no parameter frame came in time, else empty.
    QString readParameter();
    QString writeParameter();
    void clear();

    // "hh:mm:ss.zzz,<frame name>,<hex>\n\n" (kind 0 frame 0, 1 frame 1, 2 parameter).
    static QString frameText(const QDateTime& time, int kind, const QByteArray& bytes);

    ChipWidget* chip(int index) const { return index >= 0 && index < 4 ? chips_[index] : nullptr; }
    QPushButton* readButton() const { return read_; }
    QPushButton* writeButton() const { return write_; }
    QCheckBox* showConfigBox() const { return showConfig_; }
    QComboBox* baudRateBox() const { return baudRate_; }
    QSpinBox* periodBox() const { return period_; }
    QSpinBox* radixBox() const { return radix_; }
    QComboBox* detectModeBox() const { return detectMode_; }
    QCheckBox* diagnoseBox() const { return diagnose_; }
    QSpinBox* thresholdBox() const { return threshold_; }
    QLabel* systemTimeLabel() const { return systemTime_; }
    QLabel* voltageLabel() const { return voltage_; }
    PlainTextEditWithFile* history() const { return history_; }
    QWidget* configArea() const { return configArea_; }
    DataResourceItem* dataItem() const { return item_; }
    int queuedRecords() const { return frame0Queue_.size() + frame1Queue_.size() + parameterQueue_.size(); }

    // The settings the page would write.
    ParameterSettings settings() const;

private:
    void applyParameter(const ProtocolParameter::Data& record);
    QString exchange(const QByteArray& frame, const QString& label);
    void updateButtons();
    void markDirty();

    QPushButton* read_ = nullptr;
    QPushButton* write_ = nullptr;
    QCheckBox* showConfig_ = nullptr;
    QComboBox* baudRate_ = nullptr;
    QSpinBox* period_ = nullptr;
    QSpinBox* radix_ = nullptr;
    QComboBox* detectMode_ = nullptr;
    QCheckBox* diagnose_ = nullptr;
    QSpinBox* threshold_ = nullptr;
    QLabel* systemTime_ = nullptr;
    QLabel* voltage_ = nullptr;
    PlainTextEditWithFile* history_ = nullptr;
    ChipWidget* chips_[4] = {};
    QWidget* configArea_ = nullptr;
    RecordQueue<ProtocolFrame0::Data> frame0Queue_;
    RecordQueue<ProtocolFrame1::Data> frame1Queue_;
    RecordQueue<ProtocolParameter::Data> parameterQueue_;
    DataResourceItem* item_ = nullptr; // lives to the end of the program
    bool exchanging_ = false;
};

class WidgetDataFactory : public DataWidgetBaseFactory
{
public:
    explicit WidgetDataFactory(LineResourceCollector* collector)
        : collector_(collector)
    {
    }
    // The one page: made on the first call, returned afterwards.
    DataWidgetBase* create(DataResourceItem* item, QWidget* parent) override;

private:
    LineResourceCollector* collector_;
};

// Declares the page's data item on the current model manager (which the analyser's
// line items use from then on); the page is built through its factory. Only the
// first call does anything.
void registerDataView(ProtocolParameter* parameter);
// The page's data item, once declared.
DataResourceItem* dataViewItem();

} // namespace UwbAna
