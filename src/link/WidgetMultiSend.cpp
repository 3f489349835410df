#include "link/WidgetMultiSend.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSettings>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "link/ZSerialPort.h"
#include "widgets/ZButtonTextEditable.h"
#include "widgets/ZFlowLayout.h"
#include "widgets/ZTransmitDataWidget.h"

namespace {
const QString kGroup = QStringLiteral("SerialPort/MultiSend");
}

WidgetSingleSend::WidgetSingleSend(ZSerialPort* serialPort, const SendItem& item, QWidget* parent)
    : QWidget(parent), serialPort_(serialPort)
{
    nameButton_ = new ZButtonTextEditable(QString(), this);
    nameButton_->setMinimumWidth(70);
    contentEdit_ = new QPlainTextEdit(item.content, this);
    timer_ = new QTimer(this);
    timer_->setTimerType(Qt::PreciseTimer);
    hexCheckBox_ = new QCheckBox(tr("Hex"), this);
    timedSendCheckBox_ = new QCheckBox(tr("Timed Send(ms)"), this);
    periodSpinBox_ = new QSpinBox(this);
    detailsButton_ = new QToolButton(this);
    detailsButton_->setFixedWidth(12);

    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(nameButton_);
    for (QWidget* w : {static_cast<QWidget*>(hexCheckBox_), static_cast<QWidget*>(timedSendCheckBox_),
                       static_cast<QWidget*>(periodSpinBox_)}) {
        w->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
        row->addWidget(w);
    }
    row->addWidget(detailsButton_);
    layout->addLayout(row);
    layout->addWidget(contentEdit_);

    hexCheckBox_->setChecked(item.hex);
    periodSpinBox_->setRange(1, 100000000);
    periodSpinBox_->setValue(item.period);

    detailsButton_->setCheckable(true);
    detailsButton_->setAutoRaise(true);
    connect(detailsButton_, &QToolButton::toggled, this, &WidgetSingleSend::showDetails);
    detailsButton_->setChecked(item.showDetails);
    showDetails(item.showDetails);

    connect(timedSendCheckBox_, &QCheckBox::toggled, this, [this](bool on) {
        if (on)
            timer_->start(periodSpinBox_->value());
        else
            timer_->stop();
    });
    connect(periodSpinBox_, &QSpinBox::editingFinished, this, [this] {
        const int ms = periodSpinBox_->value();
        if (timer_->isActive() && timer_->interval() != ms)
            timer_->start(ms);
    });
    connect(timer_, &QTimer::timeout, this, &WidgetSingleSend::send);
    connect(nameButton_, &QPushButton::clicked, this, &WidgetSingleSend::send);
    connect(nameButton_, &ZButtonTextEditable::textEditFinished, this, [this](const QString& text) {
        rename(text);
        if (text.isEmpty())
            emit removeRequested(this);
    });

    connect(serialPort_, &ZSerialPort::statusChanged, this, &WidgetSingleSend::handleStatusChanged);
    handleStatusChanged(serialPort_->isOpen());

    rename(item.name);
}

void WidgetSingleSend::showDetails(bool shown)
{
    detailsButton_->setArrowType(shown ? Qt::LeftArrow : Qt::RightArrow);
    hexCheckBox_->setVisible(shown);
    timedSendCheckBox_->setVisible(shown);
    periodSpinBox_->setVisible(shown);
    contentEdit_->setVisible(shown);
}

void WidgetSingleSend::send()
{
    const QString text = contentEdit_->toPlainText();
    const QByteArray bytes =
        hexCheckBox_->isChecked() ? ZTransmitDataWidget::hexTextToBytes(text) : text.toLocal8Bit();
    serialPort_->write(bytes);
}

void WidgetSingleSend::rename(const QString& name)
{
    if (name == name_)
        return;
    nameButton_->setText(name);
    if (!name_.isEmpty())
        QSettings().remove(kGroup + "/" + name_);
    name_ = name;
}

SendItem WidgetSingleSend::item() const
{
    SendItem item;
    item.name = nameButton_->text();
    item.content = contentEdit_->toPlainText();
    item.hex = hexCheckBox_->isChecked();
    item.period = periodSpinBox_->value();
    item.showDetails = detailsButton_->isChecked();
    return item;
}

void WidgetSingleSend::handleStatusChanged(bool isOpen)
{
    if (!isOpen)
        timedSendCheckBox_->setChecked(false);
    nameButton_->setEnabled(isOpen);
    timedSendCheckBox_->setEnabled(isOpen);
}

// ---------------------------------------------------------------------------

WidgetMultiSend::WidgetMultiSend(ZSerialPort* serialPort, QWidget* parent)
    : QWidget(parent), serialPort_(serialPort)
{
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    addButton_ = new QPushButton(tr("Add New Item"), this);
    row->addWidget(addButton_);
    row->addStretch();
    layout->addLayout(row);

    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    auto* inner = new QWidget(scroll);
    flowLayout_ = new ZFlowLayout(inner);
    scroll->setWidget(inner);
    layout->addWidget(scroll, 1);

    connect(addButton_, &QPushButton::clicked, this, [this] { addNewItem(); });

    QSettings settings;
    settings.beginGroup(kGroup);
    const QStringList names = settings.childGroups();
    for (const QString& name : names) {
        settings.beginGroup(name);
        SendItem item;
        item.name = name;
        item.content = settings.value("Content", QString()).toString();
        item.hex = settings.value("Hex", true).toBool();
        item.period = settings.value("Peried", 10).toInt();
        item.showDetails = settings.value("ShowDetails", true).toBool();
        settings.endGroup();
        createItem(item);
    }
}

WidgetMultiSend::~WidgetMultiSend()
{
    // A name edit that the teardown ends must neither rename (which would drop the
    // group saved below) nor remove the item from a list that is gone.
    for (WidgetSingleSend* w : qAsConst(items_)) {
        disconnect(w->nameButton(), &ZButtonTextEditable::textEditFinished, w, nullptr);
        disconnect(w, nullptr, this, nullptr);
    }
    save();
}

void WidgetMultiSend::save() const
{
    QSettings settings;
    settings.beginGroup(kGroup);
    for (WidgetSingleSend* w : items_) {
        const SendItem item = w->item();
        settings.beginGroup(item.name);
        settings.setValue("Content", item.content);
        settings.setValue("Hex", item.hex);
        settings.setValue("Peried", item.period);
        settings.setValue("ShowDetails", item.showDetails);
        settings.endGroup();
    }
}

WidgetSingleSend* WidgetMultiSend::createItem(const SendItem& item)
{
    auto* w = new WidgetSingleSend(serialPort_, item, this);
    items_.append(w);
    flowLayout_->addWidget(w);
    connect(w, &WidgetSingleSend::removeRequested, this, &WidgetMultiSend::removeItem);
    return w;
}

WidgetSingleSend* WidgetMultiSend::addNewItem()
{
    WidgetSingleSend* w = createItem(SendItem{});
    w->nameButton()->startEdit();
    return w;
}

void WidgetMultiSend::removeItem(WidgetSingleSend* item)
{
    items_.removeAll(item);
    flowLayout_->removeWidget(item);
    item->hide();
    item->deleteLater();
}
