#include "products/uwbana/UwbAnaChipWidget.h"

#include "foundation/ZIconsManager.h"
#include "model/ModelManager.h"
#include "model/ResourceItems.h"
#include "products/uwbana/UwbAnaTables.h"
#include "widgets/PlainTextEditWithFile.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHash>
#include <QLabel>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace UwbAna {

namespace {

struct ComboRow
{
    const char* caption;
    const ValueTable* table;
    const ChipLists* lists; // null: the whole table (PHR mode) or by channel (preamble code)
    ChipConfig::Field field;
};

const ComboRow kComboRows[ChipWidget::ComboCount] = {
    {"Channel", &channels, &chipChannels, ChipConfig::Channel},
    {"Preamble Length", &preambleLengths, &chipPreambleLengths, ChipConfig::PreambleLength},
    {"Preamble Code", &preambleCodes, nullptr, ChipConfig::PreambleCode},
    {"PAC", &pacSizes, &chipPacSizes, ChipConfig::Pac},
    {"SFD", &sfdTypes, &chipSfdTypes, ChipConfig::Sfd},
    {"Data Rate", &dataRates, &chipDataRates, ChipConfig::DataRate},
    {"PHR Mode", &phrModes, nullptr, ChipConfig::PhrMode},
    {"PHR Rate", &phrRates, &chipPhrRates, ChipConfig::PhrRate},
    {"STS Mode", &stsModes, &chipStsModes, ChipConfig::StsMode},
    {"STS Length", &stsLengths, &chipStsLengths, ChipConfig::StsLength},
};

const char* const kCounterCaptions[ChipWidget::CounterCount] = {"PLR",         "RXFCG Count", "RXPHE Count",
                                                                 "RXFCE Count", "RXFSL Count", "RXSTO Count"};
const char* const kCounterKeys[ChipWidget::CounterCount] = {"plr",       "rxfcg_cnt", "rxphe_cnt",
                                                            "rxfce_cnt", "rxfsl_cnt", "rxsto_cnt"};

QString number6(double value)
{
    return QString::number(value, 'g', 6);
}

} // namespace

void appendLineValue(const QString& key, double value)
{
    static QHash<QString, LineResourceItem*> series;
    LineResourceItem* item = series.value(key);
    if (!item) {
        ProtocolParameter* protocol = ProtocolParameter::existing();
        ModelManager* manager = protocol ? protocol->modelManager() : nullptr;
        if (!manager)
            return;
        item = qobject_cast<LineResourceItem*>(
            manager->createResource(ResourceType::Line, textOf(frameNames, 3), key, true, nullptr, false));
        if (!item)
            return;
        lineCollector->addItem(item);
        series.insert(key, item);
    }
    item->setData(BaseResourceItem::ColValue, QVariant(value));
}

ChipWidget::ChipWidget(int chipIndex, QWidget* parent)
    : QGroupBox(QString::number(chipIndex), parent)
    , chipIndex_(chipIndex)
    , chipType_(chipTypeOf(chipIndex))
{
    auto* layout = new QVBoxLayout(this);
    // Four chips and the page's controls share the window's width.
    const QMargins m = layout->contentsMargins();
    layout->setContentsMargins(4, m.top(), 4, m.bottom());

    configArea_ = new QWidget(this);
    auto* config = new QFormLayout(configArea_);
    config->setContentsMargins(0, 0, 0, 0);
    enableChip_ = new QCheckBox(tr("Enable Chip"), configArea_);
    config->addRow(enableChip_);
    for (int c = 0; c < ComboCount; ++c) {
        const ComboRow& row = kComboRows[c];
        auto* box = new QComboBox(configArea_);
        if (row.lists)
            box->addItems(listOf(*row.lists, chipType_));
        else if (row.table == &phrModes)
            box->addItems(phrModes.values());
        combos_[c] = box;
        config->addRow(tr(row.caption), box);
        if (c == PreambleCode) {
            prf_ = new QLabel(configArea_);
            config->addRow(tr("PRF"), prf_);
        }
    }
    if (chipType_ == 1) {
        enableSdc_ = new QCheckBox(tr("Enable SDC"), configArea_);
        config->addRow(enableSdc_);
    } else {
        config->addRow(new QLabel(configArea_));
    }
    layout->addWidget(configArea_);

    auto* status = new QFormLayout;
    light_ = new QStackedWidget(this);
    light_->setMaximumHeight(40);
    ZIconsManager* icons = ZIconsManager::instance();
    for (int id : {6, 7, 8}) {
        auto* page = new QLabel(light_);
        page->setPixmap(icons->colorIcon(id).pixmap(25, 25));
        light_->addWidget(page);
    }
    status->addRow(tr("Status"), light_);
    for (int c = 0; c < CounterCount; ++c) {
        counters_[c] = new QLabel(this);
        // Room for the largest value (a 16-bit count, a loss rate of 655.35): the
        // chip keeps its width while the counts grow.
        counters_[c]->setMinimumWidth(counters_[c]->fontMetrics().horizontalAdvance(QStringLiteral("000.000")));
        status->addRow(tr(kCounterCaptions[c]), counters_[c]);
    }
    layout->addLayout(status);

    latest_ = new QPlainTextEdit(this);
    latest_->setReadOnly(true);
    latest_->setPlaceholderText(tr("latest data ..."));
    layout->addWidget(latest_);
    history_ = new PlainTextEditWithFile(this);
    history_->setReadOnly(true);
    history_->setPlaceholderText(tr("history datas ..."));
    layout->addWidget(history_);

    connect(combos_[Channel], &QComboBox::currentTextChanged, this, &ChipWidget::onChannelChanged);
    connect(combos_[PreambleCode], &QComboBox::currentTextChanged, this, &ChipWidget::onPreambleCodeChanged);
    emit combos_[Channel]->currentTextChanged(combos_[Channel]->currentText());
}

void ChipWidget::onChannelChanged(const QString& text)
{
    QComboBox* codes = combos_[PreambleCode];
    codes->clear();
    codes->addItems(channelPreambleCodes.value(codeOf(channels, text)));
}

void ChipWidget::onPreambleCodeChanged(const QString& text)
{
    prf_->setText(textOf(prfs, prfOfPreambleCode(codeOf(preambleCodes, text))));
}

void ChipWidget::selectText(QComboBox* box, const QString& text)
{
    const int index = box->findText(text, Qt::MatchExactly);
    if (index >= 0)
        box->setCurrentIndex(index);
}

void ChipWidget::applyParameter(const ChipConfig& config)
{
    for (int c = 0; c < ComboCount; ++c) {
        const ComboRow& row = kComboRows[c];
        const QString text = textOf(*row.table, config.field(row.field));
        if (!text.isEmpty())
            selectText(combos_[c], text);
    }
    prf_->setText(textOf(prfs, config.field(ChipConfig::Prf)));
    if (enableSdc_)
        enableSdc_->setChecked(config.sdc());
}

void ChipWidget::storeParameter(ChipConfig& config) const
{
    for (int c = 0; c < ComboCount; ++c) {
        const ComboRow& row = kComboRows[c];
        config.setField(row.field, codeOf(*row.table, combos_[c]->currentText()));
    }
    config.setField(ChipConfig::Prf, codeOf(prfs, prf_->text()));
    if (enableSdc_)
        config.setSdc(enableSdc_->isChecked());
}

int ChipWidget::statusPage() const
{
    return light_->currentIndex();
}

void ChipWidget::updateStatus(const ChipStatus& status)
{
    if (status.status <= 2)
        light_->setCurrentIndex(status.status);
    const double plr = status.plrPercent();
    const quint16 counts[CounterCount - 1] = {status.rxfcgCount, status.rxpheCount, status.rxfceCount,
                                              status.rxfslCount, status.rxstoCount};
    counters_[Plr]->setText(number6(plr));
    for (int c = 1; c < CounterCount; ++c)
        counters_[c]->setText(QString::number(counts[c - 1]));

    const QString prefix = QString::number(chipIndex_) + QLatin1Char('_');
    appendLineValue(prefix + QStringLiteral("status"), status.status);
    appendLineValue(prefix + QLatin1String(kCounterKeys[Plr]), plr);
    for (int c = 1; c < CounterCount; ++c)
        appendLineValue(prefix + QLatin1String(kCounterKeys[c]), counts[c - 1]);
}

QString ChipWidget::receiveText(const QString& pcTime, const ReceiveHeader& h, const QByteArray& payload,
                                double intervalMs)
{
    QString text;
    text.reserve(400 + payload.size() * 3);
    text += QStringLiteral("pc_time: ") + pcTime + QLatin1Char('\n');
    text += QStringLiteral("system_time(ms): ") + QString::number(h.systemTime) + QLatin1Char('\n');
    text += QStringLiteral("rx_time: ") + QString::number(h.rxTime) + QLatin1Char('\n');
    text += QStringLiteral("rx_interval(ms): ") + (intervalMs < 0 ? QString() : number6(intervalMs))
            + QLatin1Char('\n');
    text += QStringLiteral("fp_rssi: ") + number6(ReceiveHeader::rssi(h.fpRssi)) + QLatin1Char('\n');
    text += QStringLiteral("rx_rssi: ") + number6(ReceiveHeader::rssi(h.rxRssi)) + QLatin1Char('\n');
    text += QStringLiteral("fp_index: ") + QString::number(h.fpIndex) + QLatin1Char('\n');
    text += QStringLiteral("fp_ampl: ") + QString::number(h.fpAmpl) + QLatin1Char('\n');
    text += QStringLiteral("pk_index: ") + QString::number(h.pkIndex) + QLatin1Char('\n');
    text += QStringLiteral("pk_ampl: ") + QString::number(h.pkAmpl) + QLatin1Char('\n');
    text += QStringLiteral("idiff: ") + QString::number(h.idiff) + QLatin1Char('\n');
    text += QStringLiteral("luep: ") + number6(ReceiveHeader::hundredths(h.luep)) + QLatin1Char('\n');
    text += QStringLiteral("mc: ") + number6(ReceiveHeader::hundredths(h.mc)) + QLatin1Char('\n');
    text += QStringLiteral("pr_nlos: ") + number6(ReceiveHeader::hundredths(h.prNlos)) + QLatin1Char('\n');
    text += QStringLiteral("cl: ") + number6(ReceiveHeader::hundredths(h.cl)) + QLatin1Char('\n');
    text += QStringLiteral("hw_clock_offset(ppm): ") + number6(h.hwClockOffset) + QLatin1Char('\n');
    text += QStringLiteral("data_length: ") + QString::number(h.dataLength) + QLatin1Char('\n');
    text += QStringLiteral("payload: ") + QString::fromLatin1(payload.toHex(' ')) + QLatin1Char('\n');
    return text;
}

void ChipWidget::showReceiveFrame(const QString& pcTime, const ReceiveHeader& h, const QByteArray& payload)
{
    // A chip's first frame has nothing to measure its interval against.
    const double interval = hasPreviousRxTime_ ? ReceiveHeader::intervalMs(h.rxTime, previousRxTime_) : -1.0;
    previousRxTime_ = h.rxTime;
    hasPreviousRxTime_ = true;

    const QString text = receiveText(pcTime, h, payload, interval);
    pendingLatest_ = text;
    if (!batching_)
        endBatch();
    history_->appendText(previousText_ + QLatin1Char('\n'));
    previousText_ = text;

    const QString prefix = QString::number(chipIndex_) + QLatin1Char('_');
    if (interval >= 0)
        appendLineValue(prefix + QStringLiteral("rx_interval(ms)"), interval);
    appendLineValue(prefix + QStringLiteral("fp_rssi"), ReceiveHeader::rssi(h.fpRssi));
    appendLineValue(prefix + QStringLiteral("rx_rssi"), ReceiveHeader::rssi(h.rxRssi));
    appendLineValue(prefix + QStringLiteral("fp_index"), h.fpIndex);
    appendLineValue(prefix + QStringLiteral("fp_ampl"), h.fpAmpl);
    appendLineValue(prefix + QStringLiteral("pk_index"), h.pkIndex);
    appendLineValue(prefix + QStringLiteral("pk_ampl"), h.pkAmpl);
    appendLineValue(prefix + QStringLiteral("idiff"), h.idiff);
    appendLineValue(prefix + QStringLiteral("luep"), ReceiveHeader::hundredths(h.luep));
    appendLineValue(prefix + QStringLiteral("mc"), ReceiveHeader::hundredths(h.mc));
    appendLineValue(prefix + QStringLiteral("pr_nlos"), ReceiveHeader::hundredths(h.prNlos));
    appendLineValue(prefix + QStringLiteral("cl"), ReceiveHeader::hundredths(h.cl));
    appendLineValue(prefix + QStringLiteral("hw_clock_offset(ppm)"), h.hwClockOffset);
    appendLineValue(prefix + QStringLiteral("data_length"), h.dataLength);
}

void ChipWidget::endBatch()
{
    batching_ = false;
    if (pendingLatest_.isNull())
        return;
    latest_->setPlainText(pendingLatest_);
    pendingLatest_ = QString();
    QTextCursor cursor = latest_->textCursor();
    cursor.movePosition(QTextCursor::Start);
    latest_->setTextCursor(cursor);
    latest_->ensureCursorVisible();
}

void ChipWidget::clearStatus()
{
    light_->setCurrentIndex(0);
    for (QLabel* label : counters_)
        label->clear();
    pendingLatest_ = QString();
    latest_->clear();
    history_->clearText();
}

} // namespace UwbAna
