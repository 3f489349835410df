#include "app/SettingWidget.h"

#include <QLineEdit>
#include <QVBoxLayout>

#include "views/ModelViewManagers.h"
#include "views/RefreshManagers.h"
#include "widgets/PlainTextEditWithFile.h"

ZClampingSpinBox::ZClampingSpinBox(QWidget* parent)
    : QSpinBox(parent)
{
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
}

QString ZClampingSpinBox::digitsOf(const QString& input) const
{
    QString text = input;
    if (!prefix().isEmpty() && text.startsWith(prefix()))
        text.remove(0, prefix().size());
    if (!suffix().isEmpty() && text.endsWith(suffix()))
        text.chop(suffix().size());
    return text.trimmed();
}

QValidator::State ZClampingSpinBox::validate(QString& input, int& pos) const
{
    const QString digits = digitsOf(input);
    if (digits.isEmpty())
        return QValidator::Intermediate;
    for (const QChar c : digits) {
        if (!c.isDigit())
            return QSpinBox::validate(input, pos);
    }
    bool ok = false;
    const qlonglong value = digits.toLongLong(&ok);
    if (!ok)
        return QValidator::Invalid;
    return (value >= minimum() && value <= maximum()) ? QValidator::Acceptable : QValidator::Intermediate;
}

void ZClampingSpinBox::fixup(QString& input) const
{
    bool ok = false;
    const qlonglong value = digitsOf(input).toLongLong(&ok);
    if (!ok)
        return;
    const qlonglong clamped = qBound<qlonglong>(minimum(), value, maximum());
    input = prefix() + QString::number(clamped) + suffix();
}

SettingWidget::SettingWidget(QWidget* parent)
    : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);

    // Each box applies its stored value once when built, as if the user had just
    // finished editing it.
    dataRate_ = new ZClampingSpinBox(this);
    dataRate_->setPrefix(tr("Data FPS: "));
    dataRate_->setRange(1, 120);
    connect(dataRate_, &QSpinBox::editingFinished, this, &SettingWidget::applyDataRate);
    dataRate_->setValue(settings_.value("DataRefreshFPS", 10).toInt());
    emit dataRate_->editingFinished();
    // The common views start at the data rate just applied.
    if (CommonRefreshManager* common = CommonRefreshManager::singleton())
        common->setEnabled(true);
    layout->addWidget(dataRate_);

    chartRate_ = new ZClampingSpinBox(this);
    chartRate_->setPrefix(tr("Chart FPS: "));
    chartRate_->setRange(1, 120);
    connect(chartRate_, &QSpinBox::editingFinished, this, &SettingWidget::applyChartRate);
    chartRate_->setValue(settings_.value("ChartRefreshFPS", 30).toInt());
    emit chartRate_->editingFinished();
    layout->addWidget(chartRate_);

    memory_ = new ZClampingSpinBox(this);
    memory_->setPrefix(tr("Maximum Memory(History Data): "));
    memory_->setSuffix(" MB");
    memory_->setToolTip(tr("When memory usage of history raw data is overflow, data received in textedit will be "
                           "clear, but you can still export history data to file"));
    memory_->setRange(50, 10240);
    connect(memory_, &QSpinBox::editingFinished, this, &SettingWidget::applyMemory);
    memory_->setValue(settings_.value("MaximumMemory", 300).toInt());
    emit memory_->editingFinished();
    layout->addWidget(memory_);
}

void SettingWidget::applyDataRate()
{
    const int fps = dataRate_->value();
    if (ModelViewManagers* registry = ModelViewManagers::instance())
        registry->dataRefreshManager()->setFrequency(fps);
    if (CommonRefreshManager* common = CommonRefreshManager::singleton())
        common->setFrequency(fps);
    settings_.setValue("DataRefreshFPS", fps);
}

void SettingWidget::applyChartRate()
{
    const int fps = chartRate_->value();
    if (ModelViewManagers* registry = ModelViewManagers::instance()) {
        if (ChartRefreshManager* chart = registry->chartRefreshManager())
            chart->setFrequency(fps);
    }
    settings_.setValue("ChartRefreshFPS", fps);
}

void SettingWidget::applyMemory()
{
    PlainTextEditWithFileManager::instance()->setMemoryLimit(memory_->value());
    settings_.setValue("MaximumMemory", memory_->value());
}
