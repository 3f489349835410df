#pragma once

#include "products/uwbana/UwbAnaProtocols.h"

#include <QGroupBox>
#include <QString>

class PlainTextEditWithFile;
class QCheckBox;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QStackedWidget;

namespace UwbAna {

// Appends a value to the analyser's line series of that key, creating the series on
// first use; dropped while the analyser has no model manager (GUI thread).
void appendLineValue(const QString& key, double value);

// One radio chip of the analyser: its configuration form (lists by chip type, the
// preamble codes by channel, the PRF by preamble code) and its status area (the
// status block of frame 0, the receive frames of frame 1).
class ChipWidget : public QGroupBox
{
    Q_OBJECT
public:
    enum Combo { Channel, PreambleLength, PreambleCode, Pac, Sfd, DataRate, PhrMode, PhrRate, StsMode, StsLength,
                 ComboCount };
    enum Counter { Plr, RxfcgCount, RxpheCount, RxfceCount, RxfslCount, RxstoCount, CounterCount };

    explicit ChipWidget(int chipIndex, QWidget* parent = nullptr);

    void applyParameter(const ChipConfig& config);
    void storeParameter(ChipConfig& config) const;
    void updateStatus(const ChipStatus& status);
    void showReceiveFrame(const QString& pcTime, const ReceiveHeader& header, const QByteArray& payload);
    // Status light gray, counters and both views empty.
    void clearStatus();

    // While a batch is open, the latest-data view is set once when it closes.
    void beginBatch() { batching_ = true; }
    void endBatch();

    // The text of one receive frame; interval < 0 leaves the interval empty.
    static QString receiveText(const QString& pcTime, const ReceiveHeader& header, const QByteArray& payload,
                               double intervalMs);

    int chipIndex() const { return chipIndex_; }
    int chipType() const { return chipType_; }
    QCheckBox* enableBox() const { return enableChip_; }
    QCheckBox* sdcBox() const { return enableSdc_; }
    QComboBox* combo(Combo c) const { return combos_[c]; }
    QLabel* prfLabel() const { return prf_; }
    QLabel* counterLabel(Counter c) const { return counters_[c]; }
    int statusPage() const;
    QPlainTextEdit* latestView() const { return latest_; }
    PlainTextEditWithFile* historyView() const { return history_; }
    QWidget* configArea() const { return configArea_; }

private:
    void onChannelChanged(const QString& text);
    void onPreambleCodeChanged(const QString& text);
    static void selectText(QComboBox* box, const QString& text);

    int chipIndex_;
    int chipType_;
    QStackedWidget* light_ = nullptr;
    QCheckBox* enableChip_ = nullptr;
    QComboBox* combos_[ComboCount] = {};
    QLabel* prf_ = nullptr;
    QCheckBox* enableSdc_ = nullptr;
    QLabel* counters_[CounterCount] = {};
    QPlainTextEdit* latest_ = nullptr;
    PlainTextEditWithFile* history_ = nullptr;
    quint64 previousRxTime_ = 0;
    bool hasPreviousRxTime_ = false;
    QString previousText_;
    QString pendingLatest_;
    bool batching_ = false;
    QWidget* configArea_ = nullptr;
};

} // namespace UwbAna
