#include "link/ZUiSerialPortAssistant.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QStyle>
#include <QDialogButtonBox>
#include <QDialog>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QSize>
#include <QSplitter>
#include <QTabWidget>
#include <QTextCodec>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtEndian>

#include "foundation/ZAlgo.h"
#include "foundation/ZIconsManager.h"
#include "foundation/ZLog.h"
#include "link/WidgetMultiSend.h"
#include "link/ZSerialPort.h"
#include "link/ZSerialPortHooks.h"
#include "link/ZSerialPortInterface.h"
#include "widgets/PlainTextEditWithFile.h"
#include "widgets/ZComboBox.h"
#include "widgets/ZComboBoxEditable.h"
#include "widgets/ZWidgetHelpers.h"

namespace {
ZUiSerialPortAssistant* g_instance = nullptr;

constexpr int kSerialPortIcon = 71;   // "serialport2.png"
constexpr int kConnectionToggle = 0;  // disconnected / connected
constexpr int kOpenTries = 30;

const QString kSize = QStringLiteral("SerialPort/Size");
const QString kBaudrates = QStringLiteral("SerialPort/Baudrates");
const QString kCurrentBaudrate = QStringLiteral("SerialPort/CurrentBaudrate");
const QString kDataBits = QStringLiteral("SerialPort/DataBits");
const QString kStopBits = QStringLiteral("SerialPort/StopBits");
const QString kParity = QStringLiteral("SerialPort/Parity");
const QString kFlowControl = QStringLiteral("SerialPort/FlowControl");
const QString kIgnoredPortNames = QStringLiteral("SerialPort/IgnoredPortNames");

QStringList standardBaudRateTexts()
{
    QStringList texts;
    for (int rate : ZUiSerialPortAssistant::standardBaudRates())
        texts << QString::number(rate);
    return texts;
}

// The style sheet's min-width for buttons becomes each button's own minimum width,
// below the width of most texts, and it is set again whenever the style sheet is
// applied: a crowded row then cuts the text. The minimum follows the text instead.
class WholeTextFilter : public QObject
{
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::Polish:
        case QEvent::StyleChange:
        case QEvent::FontChange:
        case QEvent::Show:
        case QEvent::Resize: {
            auto* button = static_cast<QPushButton*>(watched);
            const int whole = button->sizeHint().width();
            if (button->minimumWidth() != whole)
                button->setMinimumWidth(whole);
            break;
        }
        default:
            break;
        }
        return false;
    }
};

void keepTextWhole(QPushButton* button)
{
    button->installEventFilter(new WholeTextFilter(button));
}

// Items carry the port's enum value; the text is what is stored.
void fillLineSetting(QComboBox* box, const QList<QPair<QString, int>>& items, const QString& stored)
{
    for (const auto& item : items)
        box->addItem(item.first, item.second);
    box->setCurrentText(stored);
}

QLabel* caption(const QString& text, QWidget* parent)
{
    return new QLabel(text, parent);
}
} // namespace

const QList<int>& ZUiSerialPortAssistant::standardBaudRates()
{
    static const QList<int> rates = {1200,   2400,   4800,   9600,    14400,   19200,   38400,
                                     43000,  57600,  76800,  100000,  115200,  230400,  460800,
                                     921600, 1000000, 1200000, 1500000, 2000000, 3000000, 3500000};
    return rates;
}

ZUiSerialPortAssistant::CriticalBox& ZUiSerialPortAssistant::criticalBoxHook()
{
    static CriticalBox hook = [](QWidget* parent, const QString& title, const QString& text) {
        showErrorBox(parent, title, text);
    };
    return hook;
}

QString ZUiSerialPortAssistant::openFailureText(const QString& errorName)
{
    return tr("Failed to open the serial port,") + QString(62, QLatin1Char(' '))
           + tr("please check whether the serial port driver") + QString(63, QLatin1Char(' '))
           + tr("is normal or whether the current serial port is occupied.Error code:") + errorName;
}

QString ZUiSerialPortAssistant::boxLines(const QString& text)
{
    // The long runs of blanks were meant to wrap a fixed-width box; a box that wraps
    // by itself breaks inside words (and anywhere in Chinese), so each run becomes
    // one line break and single blanks stay.
    static const QRegularExpression runs(QStringLiteral(" {2,}"));
    QString lines = text;
    return lines.replace(runs, QStringLiteral("\n"));
}

void ZUiSerialPortAssistant::showErrorBox(QWidget* parent, const QString& title, const QString& text)
{
    // A dialog of our own: a message box turns word wrap on for any text wider than
    // about 500 px and would break the last line before the error name.
    QDialog box(parent);
    box.setWindowTitle(title);
    auto* icon = new QLabel(&box);
    const int iconSize = box.style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, &box);
    icon->setPixmap(box.style()->standardIcon(QStyle::SP_MessageBoxCritical, nullptr, &box).pixmap(iconSize));
    auto* label = new QLabel(boxLines(text), &box);
    label->setObjectName(QStringLiteral("errorBoxText"));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(false);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &box);
    connect(buttons, &QDialogButtonBox::accepted, &box, &QDialog::accept);
    auto* layout = new QGridLayout(&box);
    layout->setHorizontalSpacing(16);
    layout->addWidget(icon, 0, 0, Qt::AlignTop);
    layout->addWidget(label, 0, 1);
    layout->addWidget(buttons, 1, 0, 1, 2);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    box.exec();
}

ZUiSerialPortAssistant* ZUiSerialPortAssistant::instance(QWidget* parent)
{
    if (!g_instance)
        g_instance = new ZUiSerialPortAssistant(parent);
    return g_instance;
}

ZUiSerialPortAssistant* ZUiSerialPortAssistant::existing()
{
    return g_instance;
}

ZUiSerialPortAssistant::ZUiSerialPortAssistant(QWidget* parent)
    : ZMainWindow(parent)
{
    setWindowTitle(tr("Serial Port", "SerialPort Assistant"));
    setWindowIcon(ZIconsManager::instance()->icon(kSerialPortIcon));

    serialPort_ = new ZSerialPort(nullptr);
    buildControls();
    buildLayout();

    connect(serialPort_, &ZSerialPort::existedPortsChanged, this, &ZUiSerialPortAssistant::handlePortsChanged);
    connect(serialPort_, &ZSerialPort::dataArrived, this, &ZUiSerialPortAssistant::handleArrivedData);
    connect(serialPort_, &ZSerialPort::statusChanged, this, &ZUiSerialPortAssistant::handleStatusChanged);
    connect(serialPort_, &ZSerialPort::statisticsUpdated, this, &ZUiSerialPortAssistant::updateStatistics);
    connect(openAction_, &QAction::triggered, this, &ZUiSerialPortAssistant::setSerialPortOpen);
    connect(openButton_, &QToolButton::clicked, this, &ZUiSerialPortAssistant::setSerialPortOpen);
    connect(clearStatisticsButton_, &QPushButton::clicked, this, [this] {
        serialPort_->resetStatistics();
        updateStatistics();
    });
    connect(clearReceivedButton_, &QPushButton::clicked, receiveView_, &PlainTextEditWithFile::clearAll);

    handlePortsChanged(QStringList());
    resize(settings_.value(kSize, QSize(800, 600)).toSize());
}

ZUiSerialPortAssistant::~ZUiSerialPortAssistant()
{
    // The base destructor hides the children, which ends any edit in progress: no
    // handler of this window may run then, its members are gone.
    for (QObject* child : findChildren<QObject*>())
        disconnect(child, nullptr, this, nullptr);
    settings_.setValue(kSize, size());
    settings_.setValue(kBaudrates, baudrateComboBox_->itemTexts());
    settings_.setValue(kDataBits, dataBitsComboBox_->currentText());
    settings_.setValue(kStopBits, stopBitsComboBox_->currentText());
    settings_.setValue(kParity, parityComboBox_->currentText());
    settings_.setValue(kFlowControl, flowControlComboBox_->currentText());
    if (g_instance == this)
        g_instance = nullptr;
    // The port has no parent: it goes with the window, which is its only owner.
    disconnect(serialPort_, nullptr, this, nullptr);
    // Closed while it is whole, so that its close handling never runs on a half-destroyed port.
    serialPort_->close();
    delete serialPort_;
    serialPort_ = nullptr;
}

void ZUiSerialPortAssistant::buildControls()
{
    QWidget* central = centralWidget();
    ZIconsManager* icons = ZIconsManager::instance();

    openButton_ = new QToolButton(central);
    openButton_->setIconSize(QSize(30, 30));
    openButton_->setFixedSize(30, 30);
    openButton_->setAutoRaise(true);
    openButton_->setCheckable(true);
    openButton_->setIcon(icons->toggleIcon(kConnectionToggle));

    openAction_ = new QAction(icons->toggleIcon(kConnectionToggle), tr("SerialPort"), this);
    openAction_->setCheckable(true);
    connect(openButton_, &QToolButton::toggled, openAction_, &QAction::setChecked);
    connect(openAction_, &QAction::triggered, openButton_, &QToolButton::setChecked);

    portComboBox_ = new ZComboBox(central);

    baudrateComboBox_ = new ZComboBoxEditable(central);
    baudrateComboBox_->addItems(settings_.value(kBaudrates, standardBaudRateTexts()).toStringList());
    const QString current = settings_.value(kCurrentBaudrate, QStringLiteral("921600")).toString();
    baudrateComboBox_->setCurrentIndex(
        baudrateComboBox_->findText(current, Qt::MatchExactly | Qt::MatchCaseSensitive));
    // Connected only now, so that filling the list does not overwrite the stored rate.
    connect(baudrateComboBox_, &QComboBox::currentTextChanged, this,
            [this](const QString& text) { settings_.setValue(kCurrentBaudrate, text); });

    dataBitsComboBox_ = new QComboBox(central);
    fillLineSetting(dataBitsComboBox_,
                    {{"5", QSerialPort::Data5}, {"6", QSerialPort::Data6}, {"7", QSerialPort::Data7},
                     {"8", QSerialPort::Data8}},
                    settings_.value(kDataBits, QStringLiteral("8")).toString());
    stopBitsComboBox_ = new QComboBox(central);
    fillLineSetting(stopBitsComboBox_,
                    {{"1", QSerialPort::OneStop}, {"1.5", QSerialPort::OneAndHalfStop}, {"2", QSerialPort::TwoStop}},
                    settings_.value(kStopBits, QStringLiteral("1")).toString());
    parityComboBox_ = new QComboBox(central);
    fillLineSetting(parityComboBox_,
                    {{"NoParity", QSerialPort::NoParity},
                     {"EvenParity", QSerialPort::EvenParity},
                     {"OddParity", QSerialPort::OddParity},
                     {"SpaceParity", QSerialPort::SpaceParity},
                     {"MarkParity", QSerialPort::MarkParity}},
                    settings_.value(kParity, QStringLiteral("NoParity")).toString());
    flowControlComboBox_ = new QComboBox(central);
    fillLineSetting(flowControlComboBox_,
                    {{"NoControl", QSerialPort::NoFlowControl},
                     {"HardwareControl", QSerialPort::HardwareControl},
                     {"SoftwareControl", QSerialPort::SoftwareControl}},
                    settings_.value(kFlowControl, QStringLiteral("NoControl")).toString());

    ignoredPortNamesEdit_ = new QLineEdit(central);
    ignoredPortNamesEdit_->setPlaceholderText("COM1|COM2|COM3");
    ignoredPortNamesEdit_->setText(settings_.value(kIgnoredPortNames).toStringList().join("|"));
    connect(ignoredPortNamesEdit_, &QLineEdit::editingFinished, this,
            &ZUiSerialPortAssistant::applyIgnoredPortNames);

    receivedLabel_ = new QLabel("0", central);
    receivedPerSecondLabel_ = new QLabel("0", central);
    transmittedLabel_ = new QLabel("0", central);
    transmittedPerSecondLabel_ = new QLabel("0", central);
    clearStatisticsButton_ = new QPushButton(tr("Clear Statistics"), central);
    // Room for the counts a long session reaches (ten digits of bytes, a 3.5 Mbaud
    // line's rate), so that the row keeps its width as they grow.
    for (QLabel* total : {receivedLabel_, transmittedLabel_})
        total->setMinimumWidth(total->fontMetrics().horizontalAdvance(QStringLiteral("4294967295")));
    for (QLabel* rate : {receivedPerSecondLabel_, transmittedPerSecondLabel_})
        rate->setMinimumWidth(rate->fontMetrics().horizontalAdvance(QStringLiteral("999999")));

    receiveView_ = new PlainTextEditWithFile(central);
    hexCheckBox_ = new QCheckBox(tr("Hex"), central);
    hexCheckBox_->setChecked(true);
    clearReceivedButton_ = new QPushButton(tr("Clear Received"), central);
    for (QPushButton* button : {clearStatisticsButton_, clearReceivedButton_})
        keepTextWhole(button);
}

void ZUiSerialPortAssistant::buildLayout()
{
    QWidget* central = centralWidget();
    auto* layout = new QVBoxLayout(central);

    auto* grid = new QGridLayout;
    grid->setVerticalSpacing(0);
    grid->addWidget(openButton_, 0, 0, 2, 1);
    grid->addWidget(caption(tr("PortName"), central), 0, 1);
    grid->addWidget(portComboBox_, 1, 1);
    grid->addWidget(caption(tr("BaudRate"), central), 0, 2, 1, 2);
    grid->addWidget(baudrateComboBox_, 1, 2, 1, 2);
    grid->addWidget(caption(tr("DataBits"), central), 0, 4);
    grid->addWidget(dataBitsComboBox_, 1, 4);
    grid->addWidget(caption(tr("StopBits"), central), 0, 5);
    grid->addWidget(stopBitsComboBox_, 1, 5);
    grid->addWidget(caption(tr("Parity"), central), 0, 6);
    grid->addWidget(parityComboBox_, 1, 6);
    grid->addWidget(caption(tr("FlowControl"), central), 0, 7);
    grid->addWidget(flowControlComboBox_, 1, 7);
    grid->addWidget(caption(tr("IgnoredPortNames"), central), 0, 8);
    grid->addWidget(ignoredPortNamesEdit_, 1, 8);
    layout->addLayout(grid);

    auto* stats = new QHBoxLayout;
    stats->addWidget(caption(tr("Received:"), central));
    stats->addWidget(receivedLabel_);
    stats->addSpacing(10);
    stats->addWidget(caption(tr("Bytes"), central));
    stats->addWidget(receivedPerSecondLabel_);
    stats->addSpacing(10);
    stats->addWidget(caption(tr("Bytes/s"), central));
    stats->addWidget(createVLine(central));
    stats->addWidget(caption(tr("Transmitted:"), central));
    stats->addWidget(transmittedLabel_);
    stats->addSpacing(10);
    stats->addWidget(caption(tr("Bytes"), central));
    stats->addWidget(transmittedPerSecondLabel_);
    stats->addSpacing(10);
    stats->addWidget(caption(tr("Bytes/s"), central));
    stats->addStretch();
    stats->addWidget(clearStatisticsButton_);
    layout->addLayout(stats);

    auto* receiveRow = new QHBoxLayout;
    receiveRow->addWidget(hexCheckBox_);
    receiveRow->addStretch();
    receiveRow->addWidget(clearReceivedButton_);
    layout->addLayout(receiveRow);

    transmitTabs_ = new QTabWidget(central);

    auto* single = new QWidget(transmitTabs_);
    auto* singleLayout = new QVBoxLayout(single);
    singleTransmitText_ = new QPlainTextEdit(single);
    singleLayout->addWidget(singleTransmitText_);
    auto* sendRow = new QHBoxLayout;
    sendRow->addStretch();
    QPointer<QPlainTextEdit> text(singleTransmitText_);
    transmitter_ = createPortTransmitter(
        serialPort_, [text] { return text ? text->toPlainText() : QString(); }, single);
    transmitter_->setContentsMargins(0, 0, 0, 0);
    sendRow->addWidget(transmitter_);
    singleLayout->addLayout(sendRow);
    transmitTabs_->addTab(single, tr("Single Transmit"));

    multiSend_ = new WidgetMultiSend(serialPort_, transmitTabs_);
    transmitTabs_->addTab(multiSend_, tr("Multi Transmit"));
    transmitTabs_->addTab(buildCheckSumTab(), tr("Check Sum"));

    auto* splitter = new QSplitter(Qt::Vertical, central);
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    policy.setVerticalStretch(1);
    receiveView_->setSizePolicy(policy);
    splitter->addWidget(receiveView_);
    splitter->addWidget(transmitTabs_);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 1);
    splitter->setCollapsible(0, true);
    splitter->setCollapsible(1, true);
    layout->addWidget(splitter);
}

QWidget* ZUiSerialPortAssistant::buildCheckSumTab()
{
    auto* tab = new QWidget(transmitTabs_);
    auto* row = new QHBoxLayout(tab);
    checkSumText_ = new QPlainTextEdit(tab);
    row->addWidget(checkSumText_, 3);
    auto* column = new QVBoxLayout;
    calculateButton_ = new QPushButton(tr("Calculate"), tab);
    keepTextWhole(calculateButton_);
    checkSumResult_ = new QLineEdit(tab);
    checkSumResult_->setReadOnly(true);
    checkSumResult_->setPlaceholderText(tr("Little Endian"));
    checkSumResult_->setMinimumWidth(
        checkSumResult_->fontMetrics().horizontalAdvance("00 00 00 00 00 00 00 00") + 30);
    checkSumCountLabel_ = new QLabel(tab);
    column->addWidget(calculateButton_);
    column->addWidget(checkSumResult_);
    column->addWidget(checkSumCountLabel_);
    column->addStretch();
    row->addLayout(column, 1);
    connect(calculateButton_, &QPushButton::clicked, this, &ZUiSerialPortAssistant::calculateCheckSum);
    return tab;
}

void ZUiSerialPortAssistant::handleArrivedData(const QByteArray& data)
{
    if (!hexCheckBox_->isChecked()) {
        // One decoder for the whole stream: a character split over two chunks decodes.
        if (!decoder_)
            decoder_.reset(QTextCodec::codecForLocale()->makeDecoder());
        receiveView_->appendText(decoder_->toUnicode(data));
    } else {
        QByteArray hex = data.toHex(' ');
        hex.append(' ');
        receiveView_->appendText(QString::fromLatin1(hex));
    }
}

void ZUiSerialPortAssistant::handlePortsChanged(const QStringList& portNames)
{
    const QString remembered = portComboBox_->currentText();
    portComboBox_->clear();
    if (!portNames.isEmpty()) {
        portComboBox_->addItems(portNames);
        const int index = portComboBox_->findText(remembered, Qt::MatchExactly | Qt::MatchCaseSensitive);
        portComboBox_->setCurrentIndex(index >= 0 ? index : 0);
    }
    openButton_->setEnabled(!portNames.isEmpty());
    openAction_->setEnabled(!portNames.isEmpty());
}

void ZUiSerialPortAssistant::handleStatusChanged(bool isOpen)
{
    for (QWidget* w : {static_cast<QWidget*>(portComboBox_), static_cast<QWidget*>(baudrateComboBox_),
                       static_cast<QWidget*>(dataBitsComboBox_), static_cast<QWidget*>(stopBitsComboBox_),
                       static_cast<QWidget*>(parityComboBox_), static_cast<QWidget*>(flowControlComboBox_)})
        w->setEnabled(!isOpen);
    openAction_->setChecked(isOpen);
    openButton_->setChecked(isOpen);
}

void ZUiSerialPortAssistant::updateStatistics()
{
    receivedLabel_->setText(QString::number(serialPort_->receivedBytes()));
    receivedPerSecondLabel_->setText(QString::number(serialPort_->receivedPerSecond()));
    transmittedLabel_->setText(QString::number(serialPort_->transmittedBytes()));
    transmittedPerSecondLabel_->setText(QString::number(serialPort_->transmittedPerSecond()));
}

bool ZUiSerialPortAssistant::setSerialPortOpen(bool open)
{
    if (!open) {
        serialPort_->close();
        return true;
    }
    if (serialPort_->isOpen()) // a second request (auto connect, tool bar) while open
        return true;

    openAction_->setEnabled(false);
    openButton_->setEnabled(false);

    serialPort_->setPortName(portComboBox_->currentText());
    serialPort_->setBaudRate(baudrateComboBox_->currentText().toInt(), QSerialPort::AllDirections);
    serialPort_->setDataBits(static_cast<QSerialPort::DataBits>(dataBitsComboBox_->currentData().toInt()));
    serialPort_->setStopBits(static_cast<QSerialPort::StopBits>(stopBitsComboBox_->currentData().toInt()));
    serialPort_->setParity(static_cast<QSerialPort::Parity>(parityComboBox_->currentData().toInt()));
    serialPort_->setFlowControl(
        static_cast<QSerialPort::FlowControl>(flowControlComboBox_->currentData().toInt()));

    const bool opened = serialPort_->open(kOpenTries);
    if (!opened) {
        criticalBoxHook()(this, tr("Error"), openFailureText(serialPort_->errorName()));
        openAction_->setChecked(false);
        openButton_->setChecked(false);
    }
    // The port list may have emptied meanwhile: the scan decides again.
    const bool any = portComboBox_->count() > 0;
    openAction_->setEnabled(any || serialPort_->isOpen());
    openButton_->setEnabled(any || serialPort_->isOpen());
    return opened;
}

bool ZUiSerialPortAssistant::setBaudRate(int baudRate, bool updateUi)
{
    if (updateUi) {
        const QString text = QString::number(baudRate);
        int index = baudrateComboBox_->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (index < 0) {
            baudrateComboBox_->addItem(text);
            index = baudrateComboBox_->count() - 1;
        }
        baudrateComboBox_->setCurrentIndex(index);
    }
    return serialPort_->setBaudRate(baudRate, QSerialPort::AllDirections);
}

void ZUiSerialPortAssistant::restoreBaudRate()
{
    const int rate = baudrateComboBox_->currentText().toInt();
    serialPort_->setBaudRate(rate, QSerialPort::AllDirections);
    zDebug().nospace() << "restore baudrate:ui " << rate << " actual:"
                       << serialPort_->baudRate(QSerialPort::AllDirections);
}

void ZUiSerialPortAssistant::applyIgnoredPortNames()
{
    static const QRegularExpression separators("\\W+");
    const QStringList names = ignoredPortNamesEdit_->text().split(separators, Qt::SkipEmptyParts);
    ignoredPortNamesEdit_->setText(names.join("|"));
    settings_.setValue(kIgnoredPortNames, names);
}

void ZUiSerialPortAssistant::calculateCheckSum()
{
    const QByteArray bytes = ZTransmitDataWidget::hexTextToBytes(checkSumText_->toPlainText());
    const quint64 sum = ZAlgo::calcSum(reinterpret_cast<const quint8*>(bytes.constData()), bytes.size());
    QByteArray little(8, '\0');
    qToLittleEndian(sum, little.data());
    QByteArray text = little.toHex(' ');
    text.append(' ');
    checkSumResult_->setText(QString::fromLatin1(text));
    checkSumCountLabel_->setText(tr("Total bytes: ") + QString::number(bytes.size()));
}

// ---------------------------------------------------------------------------

ZTransmitDataWidget* createPortTransmitter(ZSerialPort* port, ZTransmitDataWidget::TextSource textSource,
                                           QWidget* parent)
{
    QPointer<ZSerialPort> p(port);
    auto* w = new ZTransmitDataWidget([p](const QByteArray& data) { return p ? p->write(data) : qint64(-1); },
                                      port->isOpen(), std::move(textSource), parent);
    QObject::connect(port, &ZSerialPort::statusChanged, w, &ZTransmitDataWidget::handleStatusChanged);
    return w;
}

void initSerialPortInterface(QWidget* parent)
{
    ZUiSerialPortAssistant* window = ZUiSerialPortAssistant::instance(parent);
    // Writes, time-outs and the open status come from the window's port.
    installSerialPortHooks(window->serialPort(), window);
    // A rate change through the hooks changes the port, not the shown rate.
    QPointer<ZUiSerialPortAssistant> w(window);
    ZSerialPortInterfaceManager::instance()->setSetBaudRateHook([w](int rate) {
        if (w)
            w->setBaudRate(rate, false);
    });
}
