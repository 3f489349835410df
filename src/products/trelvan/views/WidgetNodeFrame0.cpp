#include "products/trelvan/views/WidgetNodeFrame0.h"

#include "foundation/ZIconsManager.h"
#include "products/trelvan/views/WindowActions.h"
#include "widgets/PlainTextEditWithFile.h"
#include "widgets/ZWidgetHelpers.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QScreen>
#include <QSettings>
#include <QShowEvent>
#include <QSpinBox>

namespace Trelvan {

namespace {
constexpr int kGeneralIconClear = 6;
constexpr int kGeneralIconData = 15;
constexpr int kMaxNodeCount = 255;
constexpr int kMaxPeriod = 100000000;
} // namespace

WidgetNode0::WidgetNode0(QWidget* parent)
    : WidgetNodeBase(parent)
    , console(new PlainTextEditWithFile(this))
{
    contentLayout->addWidget(console);
}

QString WidgetNode0::payloadText(const QList<PendingNode>& pending)
{
    QString text;
    for (const PendingNode& p : pending) {
        text += QStringLiteral("[%1, %2 B]\n").arg(p.info).arg(p.node.dataLength);
        text += QString::fromLatin1(p.node.data.toHex(' '));
        text += QLatin1Char('\n');
    }
    return text;
}

void WidgetNode0::updateNode(const QList<PendingNode>& pending)
{
    if (!pending.isEmpty())
        console->appendText(payloadText(pending));
}

void WidgetNode0::keepAside(State* node)
{
    if (node->pending.isEmpty())
        return;
    auto* kept = node->findChild<ConsoleFile*>(QString(), Qt::FindDirectChildrenOnly);
    if (!kept)
        kept = new ConsoleFile(node);
    // One chunk per refresh, as updateNode() appends it.
    kept->append({payloadText(node->pending)});
    node->pending.clear();
}

void WidgetNode0::takeKept(State* node)
{
    // The page names a box from its records; they are in the file now.
    nameLabel->setText(nodeLabel(node->role, node->id));
    if (auto* kept = node->findChild<ConsoleFile*>(QString(), Qt::FindDirectChildrenOnly))
        console->adopt(kept);
}

QString WidgetNodeFrame0::nodeCountKey()
{
    return QStringLiteral("CheckDT/%1").arg(QStringLiteral("NodeCount"));
}

QString WidgetNodeFrame0::periodKey()
{
    return QStringLiteral("CheckDT/%1").arg(QStringLiteral("Peried"));
}

WidgetNodeFrame0::WidgetNodeFrame0(const QSize& nodeSize, WidgetNodeFrame0Item* item, QWidget* parent)
    : WidgetNodeFrameBase(nodeSize, ProtocolNodeFrame0::instance()->name(), nullptr, nullptr, parent)
    , item(item)
{
    setWindowFlag(Qt::Window, true);
    setWindowTitle(tr("Data Transmission"));
    setWindowIcon(ZIconsManager::instance()->icon(kGeneralIconData));

    QAction* clear = toolBar->addAction(ZIconsManager::instance()->icon(kGeneralIconClear), tr("Clear"));
    connect(clear, &QAction::triggered, this, [this] { requestClear(); });

    auto* controls = new QWidget(this);
    auto* row = new QHBoxLayout(controls);
    row->setContentsMargins(0, 0, 0, 0);
    toolBar->addWidget(controls);

    checkBox = new QCheckBox(tr("Check DT"), controls);
    checkBox->setChecked(false);
    connect(checkBox, &QCheckBox::toggled, this, [](bool on) {
        if (ProtocolNodeFrame0* protocol = ProtocolNodeFrame0::existing())
            protocol->setCheckEnabled(on);
    });
    // Closing the window ends the check; reopening shows the box clear.
    connect(this, &WidgetNodeFrame0::visibilityChanged, this, [this](bool visible) {
        if (!visible)
            checkBox->setChecked(false);
    });
    row->addWidget(checkBox);

    settings = new QSettings(this);

    nodeCountSpinBox = new QSpinBox(controls);
    nodeCountSpinBox->setRange(0, kMaxNodeCount);
    nodeCountSpinBox->setPrefix(tr("Node Count: "));
    nodeCountSpinBox->setSuffix(QStringLiteral("  "));
    connect(nodeCountSpinBox, &QSpinBox::editingFinished, this, [this] {
        const int v = nodeCountSpinBox->value();
        if (ProtocolNodeFrame0* protocol = ProtocolNodeFrame0::existing())
            protocol->setCheckNodeCount(v);
        settings->setValue(nodeCountKey(), v);
    });
    row->addWidget(nodeCountSpinBox);

    periodSpinBox = new QSpinBox(controls);
    periodSpinBox->setRange(1, kMaxPeriod);
    periodSpinBox->setPrefix(tr("Peried: "));
    periodSpinBox->setSuffix(QStringLiteral(" ms"));
    connect(periodSpinBox, &QSpinBox::editingFinished, this, [this] {
        const int v = periodSpinBox->value();
        if (ProtocolNodeFrame0* protocol = ProtocolNodeFrame0::existing())
            protocol->setCheckPeriod(v);
        settings->setValue(periodKey(), v);
    });
    row->addWidget(periodSpinBox);

    // The check's controls stay in sight rather than behind the tool bar's
    // extension button of the narrow left pane.
    toolBar->setMinimumWidth(toolBar->sizeHint().width());

    // Stored values (clamped to the ranges) reach the protocol and the store before
    // the window is first shown.
    nodeCountSpinBox->setValue(settings->value(nodeCountKey(), kDefaultNodeCount).toInt());
    emit nodeCountSpinBox->editingFinished();
    periodSpinBox->setValue(settings->value(periodKey(), ProtocolNodeFrame0::kDefaultCheckPeriod).toInt());
    emit periodSpinBox->editingFinished();
}

QAction* WidgetNodeFrame0::windowAction()
{
    if (!action) {
        action = new QAction(windowIcon(), windowTitle(), this);
        connect(action, &QAction::triggered, this, [this] { bringUp(); });
    }
    return action;
}

void WidgetNodeFrame0::bringUp()
{
    const QPoint at = pos();
    showNormal();
    show();
    raise();
    activateWindow();
    move(at);
    // Every node's box in view, as far as the screen allows.
    growWindowToContent(this, sizeForAllBoxes(screen()->availableGeometry().width()));
    schedulePaneSizing();
}

void WidgetNodeFrame0::requestClear()
{
    clearRequested = true;
    // The window has no data item: the special item's dirty flag brings the pass.
    if (item)
        item->setDirty(true);
}

bool WidgetNodeFrame0::takeClearRequest()
{
    const bool requested = clearRequested;
    clearRequested = false;
    return requested;
}

QList<QSharedPointer<ProtocolNodeFrame0::Data>> WidgetNodeFrame0::takeFrames()
{
    ProtocolNodeFrame0* protocol = ProtocolNodeFrame0::existing();
    return protocol ? protocol->queue.takeAll() : QList<QSharedPointer<ProtocolNodeFrame0::Data>>();
}

void WidgetNodeFrame0::closeEvent(QCloseEvent* event)
{
    WidgetNodeFrameBase::closeEvent(event);
    emit visibilityChanged(false);
}

void WidgetNodeFrame0::showEvent(QShowEvent* event)
{
    WidgetNodeFrameBase::showEvent(event);
    emit visibilityChanged(true);
}

WidgetNodeFrame0Item::WidgetNodeFrame0Item(QObject* owner)
    : SpecialDataResourceItem(owner)
{
}

WidgetNodeFrame0Item::~WidgetNodeFrame0Item()
{
    if (view_)
        view_->deleteLater();
}

void WidgetNodeFrame0Item::createView()
{
    if (view_)
        return;
    view_ = new WidgetNodeFrame0(WidgetNodeFrame0::defaultNodeSize(), this);
    view_->setVisible(false);
    publishWindowAction(view_, view_->windowAction());
}

void WidgetNodeFrame0Item::refreshView()
{
    if (view_)
        view_->updateStatistics();
}

} // namespace Trelvan
