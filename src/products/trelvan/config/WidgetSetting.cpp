#include "products/trelvan/config/WidgetSetting.h"

#include "foundation/ZAlgo.h"
#include "foundation/ZIconsManager.h"
#include "foundation/ZLog.h"
#include "foundation/ZTimerManager.h"
#include "link/ZSerialPort.h"
#include "link/ZUiSerialPortAssistant.h"
#include "products/trelvan/config/ConfigItems.h"
#include "products/trelvan/config/ProtocolParameter.h"
#include "products/trelvan/config/ZAppModeItem.h"
#include "products/trelvan/config/ZCoordinateItem.h"
#include "products/trelvan/wireless/OperateMenu.h"
#include "products/trelvan/wireless/WidgetNode.h"
#include "products/trelvan/wireless/WidgetWirelessSetting.h"
#include "protocol/WidgetSystemInfo.h"
#include "widgets/VerticalScrollArea.h"
#include "widgets/ZVToolBarWidget.h"
#include "widgets/ZWidgetHelpers.h"

#include <QElapsedTimer>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QPointer>
#include <QScrollArea>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace Trelvan {

namespace {

QPointer<WidgetSetting> g_window;
bool g_calibrating = false;
WidgetSetting::WirelessHooks g_wireless;
WidgetSetting::QuestionHook g_question;
WidgetSetting::PortLookup g_portLookup;
WidgetSetting::RecognitionHook g_recognition;

bool defaultQuestion(QWidget* parent, const QString& text, const QString& informative)
{
    QMessageBox box(QMessageBox::Question, QString(), text, QMessageBox::Yes | QMessageBox::Cancel, parent);
    box.setInformativeText(informative);
    box.setDefaultButton(QMessageBox::Cancel);
    return box.exec() == QMessageBox::Yes;
}

ZSerialPort* defaultPort()
{
    ZUiSerialPortAssistant* terminal = ZUiSerialPortAssistant::existing();
    return terminal ? terminal->serialPort() : nullptr;
}

} // namespace

void WidgetSetting::setWirelessHooks(WirelessHooks hooks)
{
    g_wireless = std::move(hooks);
}

WidgetSetting::QuestionHook WidgetSetting::setQuestionHook(QuestionHook hook)
{
    QuestionHook previous = g_question;
    g_question = std::move(hook);
    return previous;
}

void WidgetSetting::setPortLookup(PortLookup lookup)
{
    g_portLookup = std::move(lookup);
}

WidgetSetting::RecognitionHook WidgetSetting::setRecognitionHook(RecognitionHook hook)
{
    RecognitionHook previous = g_recognition;
    g_recognition = std::move(hook);
    return previous;
}

bool WidgetSetting::isCalibrating()
{
    return g_calibrating;
}

WidgetSetting* WidgetSetting::instance(QWidget* parent)
{
    if (!g_window)
        g_window = new WidgetSetting(parent);
    return g_window.data();
}

WidgetSetting* WidgetSetting::existing()
{
    return g_window.data();
}

WidgetSetting::WidgetSetting(QWidget* parent)
    : ZMainWindow(parent)
{
    setWindowTitle(tr("Trelvan Setting"));
    setWindowIcon(ZIconsManager::instance()->icon(105));
    protocol_ = ProtocolParameter::instance(this);
    initUi();
    centralWidget()->setEnabled(isOpen());
}

WidgetSetting::~WidgetSetting()
{
    // Taking the window down hides its wireless page once this class is gone: the
    // page's handler must not run on what is left of it.
    disconnect(wirelessPage_, &WidgetWirelessSetting::visibilityChanged, this, nullptr);
    for (int i = 0; i < ConfigItemCount; ++i) {
        if (ZConfigItemInterface* item = protocol_->configItem(i))
            protocol_->unregisterConfigItem(item);
    }
}

QWidget* WidgetSetting::configItemWidget(int index) const
{
    return itemWidgets_.value(index);
}

void WidgetSetting::initUi()
{
    page_ = new QWidget(this);
    toolBar_ = new ZVToolBarWidget(page_);
    toolBar_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    ZIconsManager* icons = ZIconsManager::instance();
    readButton_ = toolBar_->addButton(icons->icon(61), tr("Read Parameter"));
    writeButton_ = toolBar_->addButton(icons->icon(87), tr("Write Parameter"));
    restartButton_ = toolBar_->addButton(icons->icon(64), tr("Restart Node"));

    // Created and registered in this order; the indices are the protocol's.
    systemIdItem_ = new ZSystemIDItem(page_);
    auto* onOff = new ZOnOffItem(page_);
    roleItem_ = new ZRoleItem(onOff, page_);
    modeItem_ = new ZAppModeItem(roleItem_, page_);
    protocolItem_ = new ZProtocolTypeItem(page_);
    baudItem_ = new ZBaudrateItem(page_);
    capacityItem_ = new ZNodeCapacityItem(page_);
    auto* capacity = capacityItem_;
    rateItem_ = new ZRefreshRateItem(page_);
    idItem_ = new ZIdItem(page_);
    auto* filter = new ZFilterFactorItem(page_);
    auto* model = new ZMathModelItem(page_);
    coordinateItem_ = new ZCoordinateItem(page_);
    channelItem_ = new ZSystemChannelItem(page_);
    auto* tx = new ZTxPowerItem(page_);
    const QList<QPair<int, QWidget*>> order{
        {SystemIdItem, systemIdItem_}, {OnOffItem, onOff},         {RoleItem, roleItem_},     {AppModeItem, modeItem_},
        {ProtocolTypeItem, protocolItem_}, {BaudrateItem, baudItem_}, {NodeCapacityItem, capacity},
        {RefreshRateItem, rateItem_},  {IdItem, idItem_},          {FilterFactorItem, filter}, {MathModelItem, model},
        {CoordinateItem, coordinateItem_}, {SystemChannelItem, channelItem_}, {TxPowerItem, tx}};
    itemWidgets_ = QVector<QWidget*>(ConfigItemCount, nullptr).toList();
    for (const auto& entry : order) {
        itemWidgets_[entry.first] = entry.second;
        protocol_->registerConfigItem(entry.first, dynamic_cast<ZConfigItemInterface*>(entry.second));
    }
    for (QToolButton* b : modeItem_->shortcutButtons())
        toolBar_->addToolButton(b);

    auto* system = new QGroupBox(tr("System"), page_);
    auto* systemLayout = new QVBoxLayout(system);
    systemLayout->addWidget(systemIdItem_);
    systemLayout->addWidget(channelItem_);
    systemLayout->addWidget(tx);
    auto* left = new QVBoxLayout;
    left->addWidget(system);
    left->addWidget(modeItem_);
    left->addStretch();
    // Beside the wireless page the item columns scroll up and down only, and take
    // the column's spare height.
    scrollArea_ = new VerticalScrollArea(page_);
    auto* scrollContents = new QWidget(scrollArea_);
    scrollLayout_ = new QHBoxLayout(scrollContents);
    scrollArea_->setWidget(scrollContents);
    scrollArea_->hide();
    left->addWidget(scrollArea_, 1);

    itemColumn_ = new QWidget(page_);
    auto* column = new QVBoxLayout(itemColumn_);
    column->setContentsMargins(0, 0, 0, 0);
    for (QWidget* w : {static_cast<QWidget*>(roleItem_), static_cast<QWidget*>(idItem_),
                       static_cast<QWidget*>(protocolItem_), static_cast<QWidget*>(capacity),
                       static_cast<QWidget*>(baudItem_), static_cast<QWidget*>(rateItem_),
                       static_cast<QWidget*>(onOff), static_cast<QWidget*>(filter), static_cast<QWidget*>(model)})
        column->addWidget(w);
    column->addStretch();

    columnsLayout_ = new QHBoxLayout;
    columnsLayout_->addWidget(toolBar_);
    columnsLayout_->addLayout(left);
    auto* outer = new QVBoxLayout(page_);
    outer->addLayout(columnsLayout_);
    // The window's own status bar, below the page (the main window keeps laying it out).
    statusBar()->setSizeGripEnabled(false);
    statusBar()->show();
    auto* central = new QWidget(this);
    pageLayout_ = new QVBoxLayout(central);
    pageLayout_->setContentsMargins(0, 0, 0, 0);
    pageLayout_->addWidget(page_);
    wirelessPage_ = WidgetWirelessSetting::instance(central);
    wirelessPage_->hide();
    pageLayout_->addWidget(wirelessPage_, 1);
    setCentralWidget(central);

    // The editors start from the default record, with TAG as the role shown (and
    // kept by the next reload).
    protocol_->loadConfigItems();
    roleItem_->setCurrentRole(TAG);
    protocol_->backupFrame().setRole(TAG);

    connect(readButton_, &QToolButton::clicked, this, [this] {
        // The user asks for the node's values: typed coordinates give way to them.
        coordinateItem_->setDiscardEdits(true);
        runButtonAction([this] { return readParameterOfNodeConnected(0); }, tr("Read parameter succeeded"),
                        tr("Read parameter failed,"));
        coordinateItem_->setDiscardEdits(false);
    });
    connect(writeButton_, &QToolButton::clicked, this, [this] {
        runButtonAction([this] { return verifyWrite(); }, tr("Write parameter succeeded"), tr("Write parameter failed,"));
        // Only the page on screen went out: coordinates typed on other pages wait,
        // and the user is told which, also when the read after the write has brought
        // one of them on screen.
        const QStringList unsent = coordinateItem_->unsentPages();
        if (statusBar()->currentMessage() == tr("Write parameter succeeded") && !unsent.isEmpty())
            statusBar()->showMessage(tr("Write parameter succeeded") + tr("; coordinates of %1 not written yet")
                                                                          .arg(unsent.join(", ")),
                                     kStatusMs);
    });
    connect(restartButton_, &QToolButton::clicked, this, &WidgetSetting::restartNode);
    connect(roleItem_, &ZRoleItem::currentRoleChanged, this, &WidgetSetting::applyParameter);
    connect(modeItem_, &ZAppModeItem::localModeChanged, this, &WidgetSetting::applyParameter);
    connect(modeItem_, &ZAppModeItem::runningModeChanged, this, [this](LPSMode mode) {
        runningModeIsWireless_ = mode == DT_MODE0;
        updateButtons();
        wirelessPage_->setVisible(runningModeIsWireless_);
        // Leaving the wireless page with a remote node's parameters in the editors:
        // show the node at the port again, as a write there would send them. The
        // one-key setup polls the node itself; the read follows when it ends.
        if (!runningModeIsWireless_ && mode != CM_MODE && source_ == EditorSource::RemoteNode) {
            QTimer::singleShot(0, this, [this] {
                if (source_ == EditorSource::RemoteNode && isOpen())
                    runButtonAction([this] { return readParameterOfNodeConnected(0); },
                                    tr("Read parameter succeeded"), tr("Read parameter failed,"));
            });
        }
    });
    connect(wirelessPage_, &WidgetWirelessSetting::visibilityChanged, this, [this](bool visible) {
        if (!visible)
            showNormal();
        arrangeForWirelessSetting(visible);
    });
    connect(modeItem_, &ZAppModeItem::runningModeRequired, this,
            [this](LPSMode mode) { switchApplication(quint8(mode)); });
    connect(protocolItem_, &ZProtocolTypeItem::currentTypeChanged, this, &WidgetSetting::applyParameter);
    connect(baudItem_, &ZBaudrateItem::currentBaudrateChanged, this, &WidgetSetting::applyParameter);
    connect(capacity, &ZNodeCapacityItem::capacityChanged, this, &WidgetSetting::applyParameter);
    // The editor asks from within a load, often at the end of another exchange: the
    // read waits until that one is over.
    groupTimer_ = new QTimer(this);
    groupTimer_->setSingleShot(true);
    connect(groupTimer_, &QTimer::timeout, this, &WidgetSetting::readPendingGroup);
    connect(coordinateItem_, &ZCoordinateItem::readCoordinatesRequired, this, [this](int group) {
        pendingGroup_ = group;
        groupTimer_->start(0);
    });

    arrangeForWirelessSetting(false);
}

void WidgetSetting::updateButtons()
{
    // While the calibration loop polls, an exchange in between would take a poll
    // reply for its own; the running-mode buttons stay usable to end the loop.
    const bool enabled = !runningModeIsWireless_ && !g_calibrating;
    for (QToolButton* b : {readButton_, writeButton_, restartButton_})
        b->setEnabled(enabled);
}

void WidgetSetting::runButtonAction(const std::function<QString()>& action, const QString& succeeded,
                                    const QString& failed)
{
    centralWidget()->setEnabled(false);
    const QString error = action();
    statusBar()->showMessage(error.isEmpty() ? succeeded : failed + error, kStatusMs);
    centralWidget()->setEnabled(isOpen());
}

bool WidgetSetting::waitForParameterReply(quint64 before, int ms)
{
    // True on time-out, like the other waits.
    return !protocol_->waitForReplyAfter(before, ms, true);
}

QString WidgetSetting::readFromNodeConnected(quint8 group)
{
    ProtocolParameter* p = protocol_;
    ZScopeGuard exchange([p] { p->setActive(true); p->setWaitingForReply(true); },
                         [p] { p->setWaitingForReply(false); p->setActive(false); });
    const int timeout = timeoutForBytes(ParameterFrame::kSize, 3000);
    const quint64 before = p->replyCount();
    write(p->makeGroupReadRequest(group));
    if (waitForParameterReply(before, timeout)) {
        zDebug() << "readParameterOfNodeConnected time out";
        return "time out";
    }
    return QString();
}

QString WidgetSetting::readParameterOfNodeConnected(quint8 group)
{
    const QString error = readFromNodeConnected(group);
    if (!error.isEmpty())
        return error;
    ProtocolParameter* p = protocol_;
    source_ = EditorSource::NodeAtPort;
    p->copyReceivedToBackup();
    const ParameterFrame reply = p->receivedFrame();
    roleItem_->setRoleOfNodeConnectedDirectly(Role(reply.role()));
    idItem_->setIdOfNodeConnectedDirectly(reply.id());
    applyParameter();
    rememberChoiceLists();
    NodeWidgetCache* cache = NodeWidgetCache::instance();
    if (cache->contains(reply.role(), reply.id())) {
        WidgetNode* row = cache->findNode(reply.role(), reply.id());
        row->setStatusText(QString());
        row->setState(Succeeded);
        row->setTime(reply.systemTime());
    }
    return QString();
}

QString WidgetSetting::verifyWrite()
{
    // The editors hold start values until a read filled them, or another node's
    // values after a read through the relay: writing those would overwrite the node
    // (its address and mode nibbles included).
    if (source_ != EditorSource::NodeAtPort)
        return "no parameters read";
    const QString unwritable = unwritableReason();
    if (!unwritable.isEmpty())
        return unwritable;

    ProtocolParameter* p = protocol_;
    QString error;
    {
        ZScopeGuard exchange([p] { p->setActive(true); p->setWaitingForReply(true); },
                             [p] { p->setWaitingForReply(false); p->setActive(false); });
        const quint64 before = p->replyCount();
        write(p->packWriteRequest());
        if (waitForParameterReply(before, kWriteWaitMs)) {
            error = "time out";
        } else {
            QString detail;
            if (!p->runReplyCheck(ProtocolParameter::CheckWriteWithId, detail)) {
                error = "check error";
                // The node at the port rarely has a row to show the detail.
                zWarning() << "write check failed:" << detail;
            }
        }
        if (error.isEmpty())
            coordinateItem_->markCurrentPageWritten();
        if (g_recognition)
            g_recognition();
        else if (WidgetSystemInfo* recognition = WidgetSystemInfo::existing())
            recognition->waitDataThenRecognize(6000);
    }
    return error;
}

QString WidgetSetting::verifyRestart()
{
    QString error = readParameterOfNodeConnected(0);
    if (!error.isEmpty())
        return "read before restart failed," + error;
    // The two replies' system times tell whether the node restarted; no row needed.
    const quint32 previous = protocol_->receivedFrame().systemTime();
    write(ProtocolParameter::makeRestartCommand());
    ZTimerManager* timers = ZTimerManager::instance();
    timers->wait(100);
    ZSerialPort* port = g_portLookup ? g_portLookup() : defaultPort();
    if (port)
        waitForReply(timers, 5000, port, &ZSerialPort::dataArrived);
    else
        timers->wait(5000);
    error = readParameterOfNodeConnected(0);
    if (!error.isEmpty())
        return "read after restart failed," + error;
    const quint32 current = protocol_->receivedFrame().systemTime();
    if (current <= previous)
        return QString();
    return QString("currentSystemTime(%1) > prevSystemTime(%2)").arg(current).arg(previous);
}

bool WidgetSetting::ask(const QString& text, const QString& informative)
{
    return g_question ? g_question(this, text, informative) : defaultQuestion(this, text, informative);
}

bool WidgetSetting::confirmRestart()
{
    if (!modeItem_->isWirelessSettingActive())
        return true;
    if (!ask(tr("Restarting current node will make it exit wireless setting mode"), tr("Confirm Restart?")))
        return false;
    modeItem_->restoreLocalRunningMode();
    return true;
}

void WidgetSetting::restartNode()
{
    if (!confirmRestart())
        return;
    runButtonAction([this] { return verifyRestart(); }, tr("Restart succeeded"), tr("Restart failed,"));
}

WidgetNode* WidgetSetting::connectedNodeWidget() const
{
    const int role = roleItem_->roleOfNodeConnectedDirectly();
    const int id = idItem_->idOfNodeConnectedDirectly();
    NodeWidgetCache* cache = NodeWidgetCache::existing();
    if (role < 0 || id < 0 || !cache || !cache->contains(quint8(role), id))
        return nullptr;
    return cache->findNode(quint8(role), id);
}

bool WidgetSetting::switchApplication(quint8 runningMode)
{
    ProtocolParameter* p = protocol_;
    ZScopeGuard active([p] { p->setActive(true); }, [p] { p->setActive(false); });
    p->setRequestedRunningMode(runningMode);
    const int timeout = timeoutForBytes(ParameterFrame::kSize, 5000);
    const quint64 before = p->replyCount();
    write(p->makeModeSwitchRequest());
    // The previous exchange's reply may still be finishing its parse: only a reply
    // to this request ends the wait.
    if (!p->waitForReplyAfter(before, timeout, false)) {
        statusBar()->showMessage(tr("Switch application failed:%1").arg(runningMode), kSwitchStatusMs);
        return false;
    }
    p->backupFrame().setAppMode(p->receivedFrame().appMode());
    modeItem_->loadFromParameter();
    if (runningMode == DT_MODE0 && g_wireless.findAllNodes) {
        QTimer::singleShot(0, this, [this] {
            statusBar()->showMessage(tr("Finding nodes..."), kStatusMs);
            setEnabled(false);
            g_wireless.findAllNodes(2000);
            setEnabled(true);
        });
    } else if (runningMode == CM_MODE) {
        QTimer::singleShot(0, this, &WidgetSetting::oneKeyCalibration);
    }
    statusBar()->showMessage(tr("Switch mode succeeded"), kSwitchStatusMs);
    return true;
}

void WidgetSetting::oneKeyCalibration()
{
    if (g_calibrating)
        return;
    ProtocolParameter* p = protocol_;
    ZScopeGuard running(
        [this, p] {
            g_calibrating = true;
            p->setActive(true);
            updateButtons();
        },
        [this, p] {
            g_calibrating = false;
            p->setActive(false);
            updateButtons();
        });
    QElapsedTimer watch;
    watch.start();
    const QByteArray poll = ProtocolParameter::makeCalibrationPollRequest();
    ZTimerManager* timers = ZTimerManager::instance();
    bool anyReply = false;
    while (isOpen() && modeItem_->runningMode() == CM_MODE) {
        p->setActive(true);
        const quint64 before = p->replyCount();
        write(poll);
        if (p->waitForReplyAfter(before, 100, false)) {
            p->copyReceivedToBackup();
            modeItem_->loadFromParameter();
            // The calibration's anchors replace whatever was typed.
            coordinateItem_->setDiscardEdits(true);
            coordinateItem_->loadFromParameter();
            coordinateItem_->setDiscardEdits(false);
            anyReply = true;
            timers->wait(100);
        }
        if (watch.elapsed() > 60000) {
            watch.restart();
            const QStringList lines{
                tr("1. Please keep anchors free from blocking;"),
                tr("2. Anchors need to be kept in the same plane, and the height error of each anchor is generally "
                   "required to be no more than 20cm;"),
                tr("3. The layout range of anchors should be greater than 1 * 1m generally;"),
                tr("4. The length-width ratio of layout should be less than 3:1 generally;"),
                tr("5. If the above steps do not solve your problem, please click exit one  key calibration, and the "
                   "last calibration result will be stored in the anchor or console that initiates one key "
                   "calibration;"),
                tr("6. If the calibration results are roughly in line with the actual situation, the automatic "
                   "calibration is completed; if there is a large discrepancy between the calibration results and "
                   "the actual situation, please determine the anchor coordinates through other measurement "
                   "methods, and write the parameters after entering the anchor coordinates."),
                tr("Do you want to Exit one key calibration?")};
            if (ask(tr("Calibration time is too long, please check as follows:"), lines.join("\n"))) {
                QTimer::singleShot(0, modeItem_, &ZAppModeItem::restoreLocalRunningMode);
                break;
            }
        }
    }
    if (!anyReply)
        statusBar()->showMessage(tr("One key calibration failed"), kStatusMs);
}

void WidgetSetting::applyParameter()
{
    protocol_->loadConfigItems();
    const int mode = modeItem_->localMode();
    const Role role = roleItem_->currentRole();
    if (g_wireless.applyModeAndRole)
        g_wireless.applyModeAndRole(protocol_->receivedFrame().localMode(), role);
    for (int i = 0; i < ConfigItemCount; ++i) {
        if (commonConfigItems.contains(i) || !itemWidgets_.value(i))
            continue;
        itemWidgets_[i]->setVisible(configItemApplies(quint8(mode), qint8(role), i));
    }
    QTimer::singleShot(100, this, [this] {
        if (!wirelessShown_)
            adjustSize();
    });
}

void WidgetSetting::arrangeForWirelessSetting(bool shown)
{
    wirelessShown_ = shown;
    scrollArea_->setVisible(shown);
    pageLayout_->setDirection(shown ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom);
    if (shown) {
        scrollLayout_->addWidget(itemColumn_);
        scrollLayout_->addWidget(coordinateItem_);
        // Large enough for the items beside the page, as far as the screen allows.
        QTimer::singleShot(100, this, [this] { growWindowToContent(this, sizeHint()); });
    } else {
        columnsLayout_->addWidget(itemColumn_);
        columnsLayout_->addWidget(coordinateItem_);
        QTimer::singleShot(100, this, [this] { adjustSize(); });
    }
}

void WidgetSetting::handleSerialPortStatusChanged(bool open)
{
    centralWidget()->setEnabled(open);
    source_ = EditorSource::None;
}

void WidgetSetting::applyRemoteParameter(quint8 role, qint32 id)
{
    source_ = EditorSource::RemoteNode;
    remoteRole_ = role;
    remoteId_ = id;
    applyParameter();
    rememberChoiceLists();
}

void WidgetSetting::rememberChoiceLists()
{
    for (ListedChoice* choice : listedChoices())
        choice->rememberList();
}

QList<ListedChoice*> WidgetSetting::listedChoices() const
{
    return {&roleItem_->choice(), &protocolItem_->choice(), &baudItem_->choice(), &capacityItem_->choice(),
            &rateItem_->choice()};
}

bool WidgetSetting::editorsReadFrom(quint8 role, qint32 id) const
{
    return source_ == EditorSource::RemoteNode && remoteRole_ == role && remoteId_ == id;
}

bool WidgetSetting::isAddressOfNodeConnected(quint8 role, qint32 id) const
{
    return roleItem_->roleOfNodeConnectedDirectly() == role && idItem_->idOfNodeConnectedDirectly() == id;
}

void WidgetSetting::remoteNodeMoved(quint8 role, qint32 id)
{
    if (source_ != EditorSource::RemoteNode)
        return;
    remoteRole_ = role;
    remoteId_ = id;
    // A reload of the editors shows the node where it is now.
    protocol_->backupFrame().setRole(role);
    protocol_->backupFrame().setId(quint8(id));
}

QString WidgetSetting::unwritableReason() const
{
    const QString unfilled = coordinateItem_->unfilledPage();
    if (!unfilled.isEmpty())
        return tr("coordinates of %1 not read").arg(unfilled);
    const QString invalid = coordinateItem_->firstInvalidCell();
    if (!invalid.isEmpty())
        return "invalid coordinate " + invalid;
    // A value outside its editor's list goes back as read; after a role or mode
    // change left it outside a new list it would be sent as something the user never
    // chose. Editors that do not apply are not looked at: the user cannot see them.
    const quint8 mode = quint8(modeItem_->localMode());
    const Role role = roleItem_->currentRole();
    const QList<int> indices{RoleItem, ProtocolTypeItem, BaudrateItem, NodeCapacityItem, RefreshRateItem};
    const QList<ListedChoice*> choices = listedChoices();
    for (int i = 0; i < indices.size(); ++i) {
        const bool applies = commonConfigItems.contains(indices[i]) || configItemApplies(mode, qint8(role), indices[i]);
        if (applies && choices[i]->refusesCurrent())
            return tr("invalid value of %1").arg(choices[i]->caption());
    }
    return QString();
}

void WidgetSetting::readPendingGroup()
{
    if (pendingGroup_ < 0)
        return;
    if (!isOpen()) {
        pendingGroup_ = -1;
        return;
    }
    // Not in the middle of another exchange, whose reply this read would take.
    if (g_calibrating || !isEnabled() || !centralWidget()->isEnabled()) {
        groupTimer_->start(100);
        return;
    }
    const quint8 group = quint8(pendingGroup_);
    pendingGroup_ = -1;
    centralWidget()->setEnabled(false);
    // Only the coordinate table takes the answer: the other editors, and what the
    // user typed into them, stay as they are.
    OperateMenu* menu = OperateMenu::existing();
    QString error;
    if (source_ == EditorSource::RemoteNode && menu) {
        if (!menu->readRemoteCoordinates(remoteRole_, remoteId_, group)) {
            // The node's row tells why ("time out", "Error response").
            NodeWidgetCache* cache = NodeWidgetCache::existing();
            WidgetNode* row = cache && cache->contains(remoteRole_, remoteId_) ? cache->findNode(remoteRole_, remoteId_)
                                                                                 : nullptr;
            error = row && !row->statusText().isEmpty() ? row->statusText() : QStringLiteral("time out");
        }
    } else {
        error = readFromNodeConnected(group);
    }
    if (error.isEmpty())
        coordinateItem_->showGroupAnswer(protocol_->receivedFrame());
    else // the page stays empty and closed: say so, as any read does
        statusBar()->showMessage(tr("Read parameter failed,") + error, kStatusMs);
    centralWidget()->setEnabled(isOpen());
}

void WidgetSetting::onVisibilityChanged(bool visible)
{
    if (visible)
        readButton_->click();
    else
        modeItem_->restoreLocalRunningMode();
}

} // namespace Trelvan
