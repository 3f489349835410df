#include "widgets/ZTransmitDataWidget.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>

#include "widgets/ZButtonTextEditable.h"

class ZTransmitDataWidget_P : public QObject
{
public:
    ZTransmitDataWidget_P(ZTransmitDataWidget* owner, ZTransmitDataWidget::WriteFunction write,
                          ZTransmitDataWidget::TextSource textSource)
        : QObject(owner), owner(owner), write(std::move(write)), textSource(std::move(textSource))
    {
    }

    void handleStatusChanged(bool isOpen)
    {
        if (!isOpen)
            timedSendCheckBox->setChecked(false);
        sendButton->setEnabled(isOpen);
        timedSendCheckBox->setEnabled(isOpen);
    }

    ZTransmitDataWidget* owner;
    QTimer* timer = nullptr;
    QCheckBox* hexCheckBox = nullptr;
    QCheckBox* timedSendCheckBox = nullptr;
    QSpinBox* intervalSpinBox = nullptr;
    QToolButton* optionsButton = nullptr;
    ZButtonTextEditable* sendButton = nullptr;
    ZTransmitDataWidget::WriteFunction write;
    ZTransmitDataWidget::TextSource textSource;
};

QByteArray ZTransmitDataWidget::hexTextToBytes(const QString& text)
{
    static const QRegularExpression nonHex("[^0-9a-fA-F]");
    QString digits = text;
    digits.remove(nonHex);
    if (digits.size() % 2)
        digits.insert(digits.size() - 1, QLatin1Char('0'));
    return QByteArray::fromHex(digits.toLatin1());
}

ZTransmitDataWidget::ZTransmitDataWidget(WriteFunction write, bool portOpen, TextSource textSource,
                                         QWidget* parent)
    : QWidget(parent), d(new ZTransmitDataWidget_P(this, std::move(write), std::move(textSource)))
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);

    d->timer = new QTimer(d);
    d->timer->setTimerType(Qt::PreciseTimer);
    d->hexCheckBox = new QCheckBox(tr("Hex"), this);
    d->hexCheckBox->setChecked(true);
    d->timedSendCheckBox = new QCheckBox(tr("Timed Send(ms)"), this);
    d->intervalSpinBox = new QSpinBox(this);
    d->intervalSpinBox->setRange(1, 100000000);
    d->intervalSpinBox->setValue(10);
    d->optionsButton = new QToolButton(this);
    d->optionsButton->setCheckable(true);
    d->optionsButton->setAutoRaise(true);
    d->optionsButton->setFixedWidth(12);
    d->sendButton = new ZButtonTextEditable(tr("Send"), this);
    d->sendButton->setMinimumWidth(70);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(d->sendButton);
    layout->addWidget(d->hexCheckBox);
    layout->addWidget(d->timedSendCheckBox);
    layout->addWidget(d->intervalSpinBox);
    layout->addWidget(d->optionsButton);

    connect(d->sendButton, &QPushButton::clicked, this, &ZTransmitDataWidget::send);
    connect(d->timer, &QTimer::timeout, this, &ZTransmitDataWidget::send);
    connect(d->hexCheckBox, &QCheckBox::toggled, this, &ZTransmitDataWidget::transmitFormatChanged);
    connect(d->timedSendCheckBox, &QCheckBox::toggled, this, [this](bool on) {
        if (on)
            d->timer->start(d->intervalSpinBox->value());
        else
            d->timer->stop();
    });
    connect(d->intervalSpinBox, &QSpinBox::editingFinished, this, [this] {
        const int ms = d->intervalSpinBox->value();
        if (d->timer->isActive() && d->timer->interval() != ms)
            d->timer->start(ms);
    });
    auto showOptions = [this](bool shown) {
        d->optionsButton->setArrowType(shown ? Qt::RightArrow : Qt::LeftArrow);
        d->hexCheckBox->setVisible(shown);
        d->timedSendCheckBox->setVisible(shown);
        d->intervalSpinBox->setVisible(shown);
    };
    connect(d->optionsButton, &QToolButton::toggled, this, showOptions);
    d->optionsButton->setChecked(true);
    showOptions(true);

    handleStatusChanged(portOpen);
}

ZTransmitDataWidget::~ZTransmitDataWidget() = default;

QByteArray ZTransmitDataWidget::bytesToSend(const QString& text) const
{
    if (d->hexCheckBox->isChecked())
        return hexTextToBytes(text);
    return text.toLocal8Bit();
}

void ZTransmitDataWidget::send()
{
    const QByteArray bytes = bytesToSend(d->textSource ? d->textSource() : QString());
    if (d->write)
        d->write(bytes);
}

void ZTransmitDataWidget::handleStatusChanged(bool isOpen)
{
    d->handleStatusChanged(isOpen);
}

QCheckBox* ZTransmitDataWidget::hexCheckBox() const { return d->hexCheckBox; }
QCheckBox* ZTransmitDataWidget::timedSendCheckBox() const { return d->timedSendCheckBox; }
QSpinBox* ZTransmitDataWidget::intervalSpinBox() const { return d->intervalSpinBox; }
QToolButton* ZTransmitDataWidget::optionsButton() const { return d->optionsButton; }
ZButtonTextEditable* ZTransmitDataWidget::sendButton() const { return d->sendButton; }
QTimer* ZTransmitDataWidget::timer() const { return d->timer; }
