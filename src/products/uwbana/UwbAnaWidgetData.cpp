#include "products/uwbana/UwbAnaWidgetData.h"

#include "foundation/ZAlgo.h"
#include "foundation/ZTimerManager.h"
#include "model/ModelManager.h"
#include "model/ResourceItems.h"
#include "products/uwbana/UwbAnaChipWidget.h"
#include "products/uwbana/UwbAnaTables.h"
#include "views/ModelViewManagers.h"
#include "widgets/PlainTextEditWithFile.h"
#include "widgets/ZFlowLayout.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace UwbAna {

namespace {
QPointer<WidgetData> g_page;
DataResourceItem* g_dataItem = nullptr;

QString timeText(const QDateTime& time)
{
    return time.toString(QStringLiteral("hh:mm:ss.zzz"));
}
} // namespace

WidgetData::WidgetData(DataResourceItem* item, LineResourceCollector* collector, QWidget* parent)
    : DataWidgetBase(collector, parent)
    , frame0Queue_(textOf(frameNames, 0))
    , frame1Queue_(textOf(frameNames, 1))
    , parameterQueue_(textOf(frameNames, 2))
    , item_(item)
{
    // The receivers run on the decoding thread: they only queue the record.
    if (ProtocolFrame0* p = ProtocolFrame0::existing()) {
        connect(p, &ProtocolFrame0::data_ready, this, [this](std::shared_ptr<ProtocolFrame0::Data> d) {
            frame0Queue_.push(std::move(d));
            markDirty();
        }, Qt::DirectConnection);
    }
    if (ProtocolFrame1* p = ProtocolFrame1::existing()) {
        connect(p, &ProtocolFrame1::data_ready, this, [this](std::shared_ptr<ProtocolFrame1::Data> d) {
            frame1Queue_.push(std::move(d));
            markDirty();
        }, Qt::DirectConnection);
    }
    if (ProtocolParameter* p = ProtocolParameter::existing()) {
        connect(p, &ProtocolParameter::data_ready, this, [this](std::shared_ptr<ProtocolParameter::Data> d) {
            parameterQueue_.push(std::move(d));
            markDirty();
        }, Qt::DirectConnection);
    }
    if (item)
        connect(item, &DataResourceItem::clearRequired, this, &WidgetData::clear);

    QWidget* area = dataArea() ? dataArea() : this;
    // The chips get the width: no margin around them, narrow gaps between.
    auto* top = new QHBoxLayout(area);
    top->setContentsMargins(0, 0, 0, 0);
    top->setSpacing(4);
    for (int i = 0; i < 4; ++i) {
        chips_[i] = new ChipWidget(i, area);
        top->addWidget(chips_[i]);
    }
    auto* side = new QVBoxLayout;
    // One row, wrapping where the column is narrow.
    auto* buttons = new ZFlowLayout(0, -1, -1);
    read_ = new QPushButton(tr("Read"), area);
    write_ = new QPushButton(tr("Write"), area);
    showConfig_ = new QCheckBox(tr("Show Config"), area);
    buttons->addWidget(read_);
    buttons->addWidget(write_);
    buttons->addWidget(showConfig_);
    side->addLayout(buttons);

    configArea_ = new QWidget(area);
    auto* config = new QFormLayout(configArea_);
    config->setContentsMargins(0, 0, 0, 0);
    baudRate_ = new QComboBox(configArea_);
    baudRate_->addItems(baudRates);
    period_ = new QSpinBox(configArea_);
    period_->setRange(1, 60);
    radix_ = new QSpinBox(configArea_);
    radix_->setRange(1, 65535);
    detectMode_ = new QComboBox(configArea_);
    detectMode_->addItems(detectModes.values());
    diagnose_ = new QCheckBox(tr("Diagnose"), configArea_);
    threshold_ = new QSpinBox(configArea_);
    threshold_->setRange(0, 100);
    config->addRow(tr("Baud Rate"), baudRate_);
    config->addRow(tr("Period(s)"), period_);
    config->addRow(tr("Radix"), radix_);
    config->addRow(tr("Detect Mode"), detectMode_);
    config->addRow(diagnose_);
    config->addRow(tr("Threshold"), threshold_);
    side->addWidget(configArea_);

    auto* info = new QFormLayout;
    systemTime_ = new QLabel(area);
    // Room for a whole 32-bit time: the column keeps its width while it counts.
    systemTime_->setMinimumWidth(systemTime_->fontMetrics().horizontalAdvance(QString(10, QLatin1Char('0'))));
    voltage_ = new QLabel(area);
    history_ = new PlainTextEditWithFile(area);
    history_->setReadOnly(true);
    info->addRow(tr("System Time"), systemTime_);
    info->addRow(tr("Voltage"), voltage_);
    info->addRow(history_);
    side->addLayout(info);
    top->addLayout(side);

    connect(read_, &QPushButton::clicked, this, [this] { readParameter(); });
    connect(write_, &QPushButton::clicked, this, [this] { writeParameter(); });
    connect(showConfig_, &QCheckBox::toggled, this, [this](bool checked) {
        for (ChipWidget* chip : chips_)
            chip->configArea()->setVisible(checked);
        configArea_->setVisible(checked);
    });
    showConfig_->setChecked(true);
    updateButtons();
}

WidgetData::~WidgetData() = default;

WidgetData* WidgetData::existing()
{
    return g_page.data();
}

void WidgetData::markDirty()
{
    if (item_)
        item_->setDirty(true);
}

QString WidgetData::frameText(const QDateTime& time, int kind, const QByteArray& bytes)
{
    return timeText(time) + QLatin1Char(',') + textOf(frameNames, static_cast<quint32>(kind)) + QLatin1Char(',')
           + QString::fromLatin1(bytes.toHex(' ')) + QStringLiteral("\n\n");
}

void WidgetData::refresh()
{
    // The item raises its request after its clearRequired, which has cleared the page.
    if (item_ && item_->isClearRequested())
        item_->resetClearRequest();
    QList<std::shared_ptr<ProtocolFrame0::Data>> frames0 = frame0Queue_.takeAll();
    QList<std::shared_ptr<ProtocolFrame1::Data>> frames1 = frame1Queue_.takeAll();
    QList<std::shared_ptr<ProtocolParameter::Data>> parameters = parameterQueue_.takeAll();
    if (frames0.isEmpty() && frames1.isEmpty() && parameters.isEmpty())
        return;

    for (ChipWidget* chip : chips_)
        chip->beginBatch();
    int i0 = 0, i1 = 0, i2 = 0;
    while (i0 < frames0.size() || i1 < frames1.size() || i2 < parameters.size()) {
        // The earliest decoded first; on equal times frame 0, frame 1, parameter.
        int kind = -1;
        QDateTime earliest;
        auto consider = [&](int k, const QDateTime& t) {
            if (kind < 0 || t < earliest) {
                kind = k;
                earliest = t;
            }
        };
        if (i0 < frames0.size())
            consider(0, frames0.at(i0)->pcTime);
        if (i1 < frames1.size())
            consider(1, frames1.at(i1)->pcTime);
        if (i2 < parameters.size())
            consider(2, parameters.at(i2)->pcTime);

        if (kind == 0) {
            const ProtocolFrame0::Data& d = *frames0.at(i0++);
            systemTime_->setText(QString::number(d.systemTime()));
            voltage_->setText(QString::number(static_cast<double>(d.volts()), 'g', 6));
            appendLineValue(QStringLiteral("voltage"), d.volts());
            for (int c = 0; c < 4; ++c)
                chips_[c]->updateStatus(d.chip(c));
            history_->appendText(frameText(d.pcTime, 0, d.raw));
        } else if (kind == 1) {
            const ProtocolFrame1::Data& d = *frames1.at(i1++);
            const ReceiveHeader header = d.receiveHeader();
            systemTime_->setText(QString::number(header.systemTime));
            // A chip index the analyser does not have addresses no chip.
            if (header.chip < 4)
                chips_[header.chip]->showReceiveFrame(timeText(d.pcTime), header, d.payload);
            history_->appendText(frameText(d.pcTime, 1, d.raw));
        } else {
            applyParameter(*parameters.at(i2++));
        }
    }
    for (ChipWidget* chip : chips_)
        chip->endBatch();
}

void WidgetData::applyParameter(const ProtocolParameter::Data& record)
{
    const ParameterSettings s = record.settings();
    const int baud = baudRate_->findText(QString::number(s.baud), Qt::MatchExactly);
    if (baud >= 0)
        baudRate_->setCurrentIndex(baud);
    period_->setValue(s.period);
    radix_->setValue(s.radix);
    const int detect = detectMode_->findText(textOf(detectModes, s.detectMode), Qt::MatchExactly);
    if (detect >= 0)
        detectMode_->setCurrentIndex(detect);
    diagnose_->setChecked(s.diagnose);
    threshold_->setValue(s.threshold);
    appendLineValue(QStringLiteral("threshold"), s.threshold);
    for (int c = 0; c < 4; ++c) {
        chips_[c]->applyParameter(s.chips[c]);
        chips_[c]->enableBox()->setChecked(s.chipEnabled[c]);
    }
    history_->appendText(frameText(record.pcTime, 2, record.raw));
}

ParameterSettings WidgetData::settings() const
{
    ParameterSettings s;
    s.baud = baudRate_->currentText().toUInt(nullptr, 10);
    s.period = static_cast<quint8>(period_->value());
    s.radix = static_cast<quint16>(radix_->value());
    s.detectMode = codeOf(detectModes, detectMode_->currentText());
    s.diagnose = diagnose_->isChecked();
    s.threshold = static_cast<quint8>(threshold_->value());
    for (int c = 0; c < 4; ++c) {
        chips_[c]->storeParameter(s.chips[c]);
        s.chipEnabled[c] = chips_[c]->enableBox()->isChecked();
    }
    return s;
}

QString WidgetData::readParameter()
{
    return exchange(ProtocolParameter::readRequest(), QStringLiteral("read: "));
}

QString WidgetData::writeParameter()
{
    return exchange(settings().toWriteFrame(), QStringLiteral("write: "));
}

QString WidgetData::exchange(const QByteArray& frame, const QString& label)
{
    // The buttons stay off while the exchange waits in its nested loop, so that a
    // click cannot start a second exchange inside this one.
    ZScopeGuard busy([this] { exchanging_ = true; updateButtons(); },
                     [this] { exchanging_ = false; updateButtons(); });
    history_->appendText(label + frameText(QDateTime::currentDateTime(), 2, frame));
    const int timeoutMs = timeoutForBytes(frame.size(), kExtraWaitMs);
    const bool timedOut = waitForSignal(ZTimerManager::instance(), timeoutMs, ProtocolParameter::instance(),
                                        &ProtocolParameter::data_ready, [&frame] { write(frame); });
    return timedOut ? tr("Time out.") : QString();
}

void WidgetData::handleSerialPortStatusChanged(bool)
{
    updateButtons();
}

void WidgetData::updateButtons()
{
    const bool enabled = !exchanging_ && isOpen();
    read_->setEnabled(enabled);
    write_->setEnabled(enabled);
}

void WidgetData::clear()
{
    for (ChipWidget* chip : chips_)
        chip->clearStatus();
    systemTime_->clear();
    voltage_->clear();
    history_->clearText();
}

DataWidgetBase* WidgetDataFactory::create(DataResourceItem* item, QWidget* parent)
{
    if (!g_page) {
        g_page = new WidgetData(item, collector_, parent);
        g_page->hide();
    }
    return g_page.data();
}

void registerDataView(ProtocolParameter* parameter)
{
    static bool done = false;
    if (done || !parameter)
        return;
    done = true;
    ModelManager* manager = ModelViewManagers::currentModelManager();
    parameter->setModelManager(manager);
    if (!manager)
        return;
    // The manager owns the factory, also when it refuses the item.
    g_dataItem = qobject_cast<DataResourceItem*>(manager->createResource(
        ResourceType::Data, parameter->name(), QStringLiteral("data"), true, new WidgetDataFactory(lineCollector),
        false));
}

DataResourceItem* dataViewItem()
{
    return g_dataItem;
}

} // namespace UwbAna
