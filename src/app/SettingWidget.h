#pragma once

#include <QSettings>
#include <QSpinBox>
#include <QWidget>

// A spin box that takes any number typed into it and clamps it to its range when the
// editing ends, instead of refusing the keystroke that leaves the range.
class ZClampingSpinBox : public QSpinBox
{
    Q_OBJECT
public:
    explicit ZClampingSpinBox(QWidget* parent = nullptr);

protected:
    QValidator::State validate(QString& input, int& pos) const override;
    void fixup(QString& input) const override;

private:
    QString digitsOf(const QString& input) const;
};

// The menu's rates and memory limit: the data and chart refresh rates and the
// history memory limit of the text consoles, each stored and applied when edited,
// and applied once from the settings when built.
class SettingWidget : public QWidget
{
    Q_OBJECT
public:
    explicit SettingWidget(QWidget* parent = nullptr);

    QSpinBox* dataRateBox() const { return dataRate_; }
    QSpinBox* chartRateBox() const { return chartRate_; }
    QSpinBox* memoryBox() const { return memory_; }

private:
    void applyDataRate();
    void applyChartRate();
    void applyMemory();

    QSettings settings_;
    ZClampingSpinBox* dataRate_ = nullptr;
    ZClampingSpinBox* chartRate_ = nullptr;
    ZClampingSpinBox* memory_ = nullptr;
};
