#include "products/sarvel/RangeSettingWindow.h"

#include "foundation/ZAlgo.h"
#include "foundation/ZIconsManager.h"
#include "foundation/ZLog.h"
#include "foundation/ZTimerManager.h"
#include "products/sarvel/RangeParameterProtocol.h"
#include "widgets/ZVToolBarWidget.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QRadioButton>
#include <QStatusBar>
#include <QToolButton>

namespace Sarvel {

namespace {
constexpr int kIconRead = 61;
constexpr int kIconWrite = 87;
constexpr int kIconProductSetting = 105;
} // namespace

RangeSettingWindow::RangeSettingWindow(RangeParameterProtocol* protocol, QWidget* parent)
    : ZMainWindow(parent)
    , protocol_(protocol)
{
}

RangeSettingWindow::~RangeSettingWindow() = default;

QWidget* RangeSettingWindow::buildFrame(const QString& title)
{
    setWindowTitle(title);
    setWindowIcon(ZIconsManager::instance()->icon(kIconProductSetting));
    statusBar()->show();
    // The base's own tool bar stays empty in these windows.
    toolBar()->hide();

    QWidget* central = centralWidget();
    auto* layout = new QHBoxLayout(central);
    buttons_ = new ZVToolBarWidget(central);
    buttons_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    readButton_ = buttons_->addButton(ZIconsManager::instance()->icon(kIconRead), tr("Read Parameter"));
    writeButton_ = buttons_->addButton(ZIconsManager::instance()->icon(kIconWrite), tr("Write Parameter"));
    for (QToolButton* button : {readButton_, writeButton_})
        button->setIconSize(QSize(32, 32));
    connect(readButton_, &QToolButton::clicked, this, &RangeSettingWindow::handleReadAction);
    connect(writeButton_, &QToolButton::clicked, this, &RangeSettingWindow::handleWriteAction);
    layout->addWidget(buttons_);
    auto* controls = new QWidget(central);
    layout->addWidget(controls, 1);
    return controls;
}

QButtonGroup* RangeSettingWindow::addRadioRow(QGridLayout* grid, int& row, const QString& label,
                                              const QStringList& texts, QWidget* parent)
{
    auto* group = new QButtonGroup(parent);
    grid->addWidget(new QLabel(label, parent), row, 0);
    auto* line = new QHBoxLayout;
    for (int i = 0; i < texts.size(); ++i) {
        auto* button = new QRadioButton(texts.at(i), parent);
        group->addButton(button, i);
        line->addWidget(button);
    }
    line->addStretch(1);
    grid->addLayout(line, row, 1);
    ++row;
    return group;
}

bool RangeSettingWindow::selectMode(QButtonGroup* group, int id, const char* illegal, bool click)
{
    QAbstractButton* button = group->button(id);
    if (!button) {
        zWarning() << illegal << id;
        return false;
    }
    if (click)
        button->click();
    else
        button->setChecked(true);
    return true;
}

void RangeSettingWindow::refillBaudrates(QComboBox* box, const QStringList& rates, bool uart)
{
    const QString remembered = box->currentText();
    box->clear();
    if (rates.isEmpty())
        return;
    box->addItems(rates);
    int index = box->findText(remembered, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index < 0) {
        const QString fallback = uart ? QStringLiteral("921600") : QStringLiteral("1000000");
        index = box->findText(fallback, Qt::MatchExactly | Qt::MatchCaseSensitive);
    }
    box->setCurrentIndex(index);
}

void RangeSettingWindow::handleSerialPortStatusChanged(bool isOpen)
{
    centralWidget()->setEnabled(isOpen);
}

void RangeSettingWindow::onVisibilityChanged(bool visible)
{
    if (protocol_)
        protocol_->setActive(visible);
}

void RangeSettingWindow::hideEvent(QHideEvent* event)
{
    ZMainWindow::hideEvent(event);
    // A minimised window stays visible to Qt and keeps listening.
    if (!event->spontaneous() && protocol_ && !exchanging_)
        protocol_->setActive(false);
}

QString RangeSettingWindow::exchange(const QByteArray& request)
{
    if (!protocol_)
        return tr("Time out.");
    ZScopeGuard guard(
        [this] {
            exchanging_ = true;
            protocol_->setActive(true);
        },
        [this] {
            exchanging_ = false;
            if (protocol_)
                protocol_->setActive(isVisible());
        });
    write(request);
    const bool timedOut = waitForReply(ZTimerManager::instance(), timeoutForBytes(request.size(), kExtraWaitMs),
                                       protocol_.data(), &RangeParameterProtocol::dataFrameReceived);
    return timedOut ? tr("Time out.") : QString();
}

QString RangeSettingWindow::readParameter()
{
    const QByteArray request = protocol_ ? protocol_->packReadRequest() : QByteArray();
    const QString error = exchange(request);
    if (!error.isEmpty())
        return error;
    applyParameterFrame(protocol_->frame());
    return QString();
}

QString RangeSettingWindow::writeParameter()
{
    const QByteArray written = buildWriteFrame();
    // Taken before the exchange: applying the answer may switch the interface mode
    // and with it the enabled fields.
    const QList<KeptField> fields = keptFields();
    zDebug() << "start read sarvel parameter";
    QString error = exchange(written);
    if (!error.isEmpty())
        return error;
    const QByteArray answer = protocol_->frame();
    applyParameterFrame(answer);
    const QStringList mismatches = mismatchedFields(fields, written, answer);
    if (!mismatches.isEmpty()) {
        QStringList parts;
        for (const QString& name : mismatches)
            parts << tr("%1 mismatch").arg(name);
        error = parts.join(QLatin1Char(',')) + QLatin1Char('.');
        zWarning() << "sarvel parameter not kept:" << hexText(written) << "answer:" << hexText(answer);
    }
    if (!error.isEmpty())
        error += tr("  write failed.");
    return error;
}

QStringList RangeSettingWindow::mismatchedFields(const QList<KeptField>& fields, const QByteArray& written,
                                                 const QByteArray& answer)
{
    QStringList names;
    for (const KeptField& f : fields) {
        if (f.offset + f.length > written.size() || f.offset + f.length > answer.size()) {
            names << f.name;
            continue;
        }
        bool same = true;
        if (f.length == 1) {
            same = (quint8(written[f.offset]) & f.mask) == (quint8(answer[f.offset]) & f.mask);
        } else {
            same = written.mid(f.offset, f.length) == answer.mid(f.offset, f.length);
        }
        if (!same)
            names << f.name;
    }
    return names;
}

void RangeSettingWindow::handleReadAction()
{
    readButton_->setEnabled(false);
    const QString error = readParameter();
    if (error.isEmpty())
        statusBar()->showMessage(tr("Read parameter succeeded"), kStatusMs);
    else
        statusBar()->showMessage(tr("Read parameter failed,") + error, kStatusMs);
    readButton_->setEnabled(true);
}

void RangeSettingWindow::handleWriteAction()
{
    writeButton_->setEnabled(false);
    const QString error = writeParameter();
    if (error.isEmpty())
        statusBar()->showMessage(tr("Write parameter succeeded"), kStatusMs);
    else
        statusBar()->showMessage(tr("Write parameter failed,") + error, kStatusMs);
    writeButton_->setEnabled(true);
}

} // namespace Sarvel
