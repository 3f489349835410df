#include "products/trelvan/views/WidgetErrorFrame0.h"

#include "foundation/ZIconsManager.h"
#include "foundation/ZLog.h"
#include "products/trelvan/protocols/NodeLabel.h"
#include "products/trelvan/protocols/ProtocolErrorFrame0.h"
#include "products/trelvan/protocols/TrelvanTables.h"
#include "products/trelvan/views/WindowActions.h"
#include "widgets/WidgetIndicator.h"

#include <QAction>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QTimer>

namespace Trelvan {

namespace {
constexpr int kGreenLight = 7;
constexpr int kRedLight = 8;
} // namespace

const QStringList& WidgetErrorFrame0::flagNames()
{
    static const QStringList names{"nodeRepeat", "lpsSettingFrameError", "anchorCoordinateError", "restart",
                                   "hardFault",  "uwbTxError",           "posAbnormalZero",       "dtLengthOverflow"};
    return names;
}

WidgetErrorFrame0::WidgetErrorFrame0(QWidget* parent)
    : ZPopupShadowWindow(parent)
{
    setWindowIcon(ZIconsManager::instance()->colorIcon(kGreenLight));
    setWindowTitle(tr("Error Info"));

    windowAction = new QAction(windowIcon(), windowTitle());
    windowAction->setToolTip(windowTitle());
    connect(windowAction, &QAction::triggered, this, &ZPopupShadowWindow::popupAtCursor);

    resetTimer = new QTimer(this);
    resetTimer->setInterval(kResetInterval);
    connect(resetTimer, &QTimer::timeout, this, &WidgetErrorFrame0::resetIndicators);

    auto* grid = new QGridLayout;
    contentLayout()->setContentsMargins(0, 0, 0, 0);
    contentLayout()->addLayout(grid);
    int row = 0;
    auto addRow = [this, grid, &row](const QString& caption, QWidget* value) {
        grid->addWidget(new QLabel(caption, this), row, 0);
        grid->addWidget(value, row, 1);
        ++row;
    };
    roleLabel = new QLabel(this);
    idLabel = new QLabel(this);
    systemTimeLabel = new QLabel(this);
    addRow(tr("role"), roleLabel);
    addRow(tr("id"), idLabel);
    addRow(tr("systemTime(ms)"), systemTimeLabel);
    // Captions are the flag names as the device documents them.
    static const char* const flagCaptions[kFlagCount] = {
        QT_TR_NOOP("nodeRepeat"), QT_TR_NOOP("lpsSettingFrameError"), QT_TR_NOOP("anchorCoordinateError"),
        QT_TR_NOOP("restart"),    QT_TR_NOOP("hardFault"),            QT_TR_NOOP("uwbTxError"),
        QT_TR_NOOP("posAbnormalZero"), QT_TR_NOOP("dtLengthOverflow")};
    for (const char* caption : flagCaptions) {
        auto* light = new WidgetIndicator(this);
        indicators.append(light);
        addRow(tr(caption), light);
    }
    static const char* const markCaptions[kMarkCount] = {QT_TR_NOOP("errorTypeMark0"), QT_TR_NOOP("errorTypeMark1"),
                                                         QT_TR_NOOP("errorTypeMark2")};
    for (const char* caption : markCaptions) {
        auto* mark = new QLabel(this);
        markLabels.append(mark);
        addRow(tr(caption), mark);
    }
}

WidgetErrorFrame0::~WidgetErrorFrame0()
{
    // The action has no parent (tool bars do not own their actions).
    delete windowAction;
}

void WidgetErrorFrame0::showErrors()
{
    windowAction->setIcon(ZIconsManager::instance()->colorIcon(kRedLight));
    resetTimer->start();

    ProtocolErrorFrame0* protocol = ProtocolErrorFrame0::existing();
    if (!protocol)
        return;
    const auto records = protocol->queue.takeAll();
    if (records.isEmpty())
        return;

    for (const auto& r : records) {
        QString text = QStringLiteral("Trelvan error occurred, %1, systemTime:%2")
                           .arg(nodeLabel(r->role(), r->id()))
                           .arg(r->systemTime());
        for (int k = 0; k < kFlagCount; ++k)
            if (r->errorFlags() & (1u << k))
                text += QStringLiteral(", ") + flagNames().at(k);
        for (int m = 0; m < kMarkCount; ++m)
            if (r->errorTypeMark(m) != 0)
                text += QStringLiteral(", errorTypeMark%1:%2").arg(m).arg(r->errorTypeMark(m));
        zWarning() << text;
    }

    const ProtocolErrorFrame0::Record& newest = *records.last();
    const int role = newest.role();
    roleLabel->setText(role >= 0 && role < roleNames.size() ? roleNames.at(role) : QString());
    idLabel->setText(QString::number(newest.id()));
    systemTimeLabel->setText(QString::number(newest.systemTime()));
    for (int k = 0; k < kFlagCount; ++k)
        indicators[k]->setState(newest.errorFlags() & (1u << k));
    for (int m = 0; m < kMarkCount; ++m)
        markLabels[m]->setText(QString::number(newest.errorTypeMark(m)));
}

void WidgetErrorFrame0::resetIndicators()
{
    resetTimer->stop();
    windowAction->setIcon(ZIconsManager::instance()->colorIcon(kGreenLight));
    roleLabel->clear();
    idLabel->clear();
    systemTimeLabel->clear();
    for (WidgetIndicator* light : qAsConst(indicators))
        light->setState(false);
    for (QLabel* mark : qAsConst(markLabels))
        mark->clear();
}

WidgetErrorFrame0Item::WidgetErrorFrame0Item(QObject* owner)
    : SpecialDataResourceItem(owner)
{
}

WidgetErrorFrame0Item::~WidgetErrorFrame0Item()
{
    if (view_)
        view_->deleteLater();
}

void WidgetErrorFrame0Item::createView()
{
    if (view_)
        return;
    view_ = new WidgetErrorFrame0;
    view_->hide();
    publishWindowAction(view_, view_->windowAction);
}

void WidgetErrorFrame0Item::refreshView()
{
    if (view_)
        view_->showErrors();
}

} // namespace Trelvan
