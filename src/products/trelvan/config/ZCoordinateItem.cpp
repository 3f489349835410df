#include "products/trelvan/config/ZCoordinateItem.h"

#include "model/ModelManager.h"
#include "model/ResourceItems.h"
#include "model/ResourceValues.h"
#include "products/trelvan/config/ConfigItems.h"
#include "products/trelvan/config/ProtocolParameter.h"
#include "products/trelvan/protocols/ParameterFrame.h"
#include "products/trelvan/protocols/TrelvanTables.h"
// ModelViewManagers.h needs the refresh managers complete.
#include "views/RefreshManagers.h"
#include "views/ModelViewManagers.h"
#include "widgets/ZTableWidget.h"

#include <QComboBox>
#include <QHeaderView>
#include <QSignalBlocker>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

namespace Trelvan {

namespace {

const char* const kAxes[3] = {"X", "Y", "Z"};

QString groupPrefix()
{
    return ZCoordinateItem::tr("Group ");
}

} // namespace

QWidget* ZCoordinatePageFactory::createPage(QWidget* parent)
{
    QStringList rows;
    for (int r = 0; r < rowCount; ++r)
        rows << QString("A%1").arg(pageIndex * 10 + r);
    auto* table = new ZTableWidget(parent, 3, rowCount, {"X/m", "Y/m", "Z/m"}, rows);
    for (int c = 0; c < 3; ++c)
        table->setColumnWidth(c, 75);
    return table;
}

ZCoordinateItem::ZCoordinateItem(QWidget* parent)
    : QWidget(parent)
    , factory_(new ZCoordinatePageFactory)
    , retry_(new QTimer(this))
{
    setMinimumSize(300, 300);
    pages_ = new ZMultiPageWidget(factory_, this);
    pages_->setEditable(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(pages_);
    // At most one retry waits while no page is current.
    retry_->setSingleShot(true);
    retry_->setInterval(300);
    connect(retry_, &QTimer::timeout, this, &ZCoordinateItem::publishChartPoints);
    connect(pages_, &ZMultiPageWidget::activated, this, &ZCoordinateItem::onPageActivated);
}

ZCoordinateItem::~ZCoordinateItem() = default;

bool ZCoordinateItem::isRetryPending() const
{
    return retry_->isActive();
}

ZTableWidget* ZCoordinateItem::currentTable() const
{
    return qobject_cast<ZTableWidget*>(pages_->currentPage());
}

QString ZCoordinateItem::millimetresText(qint32 mm)
{
    return QString::number(double(mm) / 1000.0, 'g', 7);
}

bool ZCoordinateItem::cellToMillimetres(const QString& text, qint32* mm)
{
    bool ok = false;
    const double metres = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(metres))
        return false;
    const double v = metres * 1000.0;
    const double whole = std::trunc(v);
    // Nearest millimetre; an exact half goes toward zero.
    const double rounded = std::fabs(v - whole) == 0.5 ? whole : std::round(v);
    if (rounded < -8388608.0 || rounded > 8388607.0)
        return false;
    *mm = qint32(rounded);
    return true;
}

bool ZCoordinateItem::editableRole() const
{
    const int role = ProtocolParameter::instance()->backupFrame().role();
    return role == ANCHOR || role == CONSOLE;
}

void ZCoordinateItem::onPageActivated(int index)
{
    const ZRoleItem* role = ZRoleItem::instance();
    const bool tagAtPort = role && role->roleOfNodeConnectedDirectly() == TAG;
    // A page keeps what the user typed there until it is written; a tag's cells
    // cannot be typed in.
    if (!tagAtPort && !(editableRole() && !edited_.contains(index)))
        return;
    // The answer fills the page asked for, which is the one to show.
    pages_->setCurrentIndex(index);
    emit readCoordinatesRequired(index);
}

void ZCoordinateItem::updateCellsEnabled()
{
    const bool editable = ProtocolParameter::instance()->backupFrame().role() != TAG;
    const QList<QWidget*> pages = pages_->pages();
    for (int i = 0; i < pages.size(); ++i) {
        auto* table = qobject_cast<ZTableWidget*>(pages.at(i));
        if (!table)
            continue;
        const QSignalBlocker quiet(table);
        const bool enabled = editable && filled_.contains(i);
        for (int r = 0; r < table->rowCount(); ++r) {
            for (int c = 0; c < table->columnCount(); ++c) {
                if (QTableWidgetItem* item = table->item(r, c))
                    item->setFlags(enabled ? item->flags() | Qt::ItemIsEnabled : item->flags() & ~Qt::ItemIsEnabled);
            }
        }
    }
}

void ZCoordinateItem::fillPage(const ParameterFrame& answer, bool keepEdits)
{
    const int group = answer.coordinateGroup();
    auto* table = qobject_cast<ZTableWidget*>(pages_->pages().value(group));
    if (!table)
        return;
    if (keepEdits && edited_.contains(group)) {
        // The rows typed there are still to be written: only the charts follow.
        chartAnswer_ = answer;
        publishChartPoints();
        return;
    }
    {
        const QSignalBlocker quiet(table);
        for (int r = 0; r < table->rowCount() && r < ParameterFrame::kAnchorRows; ++r) {
            for (int c = 0; c < 3; ++c)
                table->item(r, c)->setText(millimetresText(answer.anchorCoordinate(r, c)));
        }
    }
    filled_.insert(group);
    edited_.remove(group);
    chartAnswer_ = answer;
    publishChartPoints();
}

void ZCoordinateItem::showGroupAnswer(const ParameterFrame& answer)
{
    // The answer is no new record: later loads keep the edits of every editor.
    shownReply_ = ProtocolParameter::instance()->replyCount();
    if (askedGroup_ == answer.coordinateGroup())
        askedGroup_ = -1;
    fillPage(answer);
    updateCellsEnabled();
}

void ZCoordinateItem::loadFromParameter()
{
    ProtocolParameter* protocol = ProtocolParameter::instance();
    const ParameterFrame received = protocol->receivedFrame();
    const ParameterFrame& edited = protocol->backupFrame();
    // Only a newly received reply refills the cells; a load after another editor's
    // change keeps what the user typed and only follows the role.
    const bool newReply = protocol->replyCount() != shownReply_;
    bool keepEdits = false;
    if (newReply) {
        // Pages typed into stay, filled and editable, while the same node answers
        // (a write is followed by a read); any other record starts afresh.
        const QPair<int, int> node(received.role(), received.id());
        keepEdits = !discardEdits_ && node == shownNode_ && !edited_.isEmpty();
        shownNode_ = node;
        if (!keepEdits)
            edited_.clear();
        filled_ = edited_;
    }
    const QMap<int, int> capacities = roleCapacities.value(received.localMode());
    const int anchors = capacities.value(ANCHOR, 0);
    if (anchors == 0)
        return;

    const int wanted = anchors / 10 + 1;
    while (pages_->pages().size() < wanted) {
        factory_->pageIndex = pages_->pages().size();
        factory_->rowCount = 10;
        pages_->addNewPage(groupPrefix() + QString::number(factory_->pageIndex));
        const int index = factory_->pageIndex;
        if (auto* table = qobject_cast<ZTableWidget*>(pages_->pages().value(index)))
            connect(table, &QTableWidget::itemChanged, this, [this, index] { edited_.insert(index); });
    }
    while (pages_->pages().size() > wanted)
        pages_->deletePage(pages_->pages().size() - 1);
    // Pages the record no longer has are gone, with their edits.
    for (QSet<int>* pages : {&edited_, &filled_}) {
        for (auto it = pages->begin(); it != pages->end();)
            it = *it >= wanted ? pages->erase(it) : std::next(it);
    }

    if (newReply) {
        const QList<QWidget*> pages = pages_->pages();
        for (int i = 0; i < pages.size(); ++i) {
            auto* table = qobject_cast<ZTableWidget*>(pages.at(i));
            if (table && !edited_.contains(i)) {
                const QSignalBlocker quiet(table);
                table->setCellsEnabled(false);
            }
        }
    }

    switch (edited.role()) {
    case ANCHOR:
        pages_->setCurrentIndex(received.id() / 10);
        break;
    case TAG:
        break;
    case CONSOLE:
        pages_->setCurrentIndex(0);
        break;
    default:
        updateCellsEnabled();
        return;
    }

    // A page shows only its own group's rows: the group byte a write sends is the
    // page's, so another group's rows there would overwrite those anchors.
    if (newReply) {
        shownReply_ = protocol->replyCount();
        fillPage(received, keepEdits);
        const int page = pages_->currentIndex();
        if (received.coordinateGroup() == page || edited_.contains(page)) {
            askedGroup_ = -1;
        } else if (askedGroup_ != page) {
            askedGroup_ = page;
            emit readCoordinatesRequired(page);
        } else {
            // Asked already and answered with another group: the page stays empty.
            askedGroup_ = -1;
        }
    }
    updateCellsEnabled();
}

void ZCoordinateItem::publishChartPoints()
{
    ModelViewManagers* registry = ModelViewManagers::instance();
    ModelViewManager* current = registry ? registry->currentManager() : nullptr;
    if (!current) {
        if (!retry_->isActive())
            retry_->start();
        return;
    }
    ModelManager* models = current->modelManager();
    if (!models)
        return;
    const ParameterFrame& answer = chartAnswer_;
    const int group = answer.coordinateGroup();
    QMap<quint64, QPair<BaseResourceItem*, BaseResourceItem*>>& items = anchorItems_[models];
    for (int r = 0; r < ParameterFrame::kAnchorRows; ++r) {
        const quint64 n = quint64(group * 10 + r);
        const float x = float(answer.anchorCoordinate(r, 0)) / 1000.0f;
        const float y = float(answer.anchorCoordinate(r, 1)) / 1000.0f;
        const float z = float(answer.anchorCoordinate(r, 2)) / 1000.0f;
        const bool valid = !qFuzzyCompare(x, -8388.0f) && !qFuzzyCompare(y, -8388.0f) && !qFuzzyCompare(z, -8388.0f);
        if (!items.contains(n)) {
            const QString owner = QString::fromLatin1(ProtocolParameter::kName);
            const QString name = QString("A%1").arg(n);
            BaseResourceItem* scatter = models->createResource(ResourceType::Scatter, owner, name, true, nullptr, true);
            if (scatter) {
                scatter->setData(11, QString(":/images/anchorBlue.png"));
                scatter->setData(10, 2);
                scatter->setData(8, false);
                scatter->setData(9, false);
                scatter->setData(4, true);
            }
            BaseResourceItem* scatter3d = models->createResource(ResourceType::Scatter3D, owner, name, true, nullptr, true);
            if (scatter3d) {
                scatter3d->setData(9, 1);
                scatter3d->setData(8, false);
                scatter3d->setData(5, QColor(Qt::blue));
                scatter3d->setData(4, true);
            }
            items.insert(n, qMakePair(scatter, scatter3d));
        }
        const auto pair = items.value(n);
        if (valid) {
            if (pair.first)
                pair.first->setData(6, QVariant::fromValue(ScatterValue{x, y, 0.0f}));
            if (pair.second)
                pair.second->setData(6, QVariant::fromValue(Scatter3DValue{x, y, z, 0.0f, 0.0f, 0.0f}));
        } else {
            for (BaseResourceItem* item : {pair.first, pair.second}) {
                if (item) {
                    item->clear();
                    item->setDirty(true);
                }
            }
        }
    }
}

void ZCoordinateItem::markCurrentPageWritten()
{
    edited_.remove(pages_->currentIndex());
}

QStringList ZCoordinateItem::unsentPages() const
{
    QStringList names;
    // The page written is no longer among them; the page on screen may be another
    // (the read that follows a write shows the node's own group) and is named too.
    for (int i = 0; i < pages_->pages().size(); ++i) {
        if (edited_.contains(i))
            names << pages_->pageChooser()->itemText(i);
    }
    return names;
}

ZTableWidget* ZCoordinateItem::filledCurrentTable() const
{
    return filled_.contains(pages_->currentIndex()) ? currentTable() : nullptr;
}

QString ZCoordinateItem::unfilledPage() const
{
    if (!currentTable() || !editableRole() || filled_.contains(pages_->currentIndex()))
        return QString();
    return pages_->currentText();
}

QString ZCoordinateItem::firstInvalidCell() const
{
    const ZTableWidget* table = filledCurrentTable();
    if (!table)
        return QString();
    for (int r = 0; r < table->rowCount() && r < ParameterFrame::kAnchorRows; ++r) {
        for (int c = 0; c < 3; ++c) {
            const QTableWidgetItem* item = table->item(r, c);
            qint32 mm = 0;
            if (!cellToMillimetres(item ? item->text() : QString(), &mm))
                return QString("%1 %2").arg(table->verticalHeaderItem(r) ? table->verticalHeaderItem(r)->text()
                                                                          : QString::number(r),
                                            QLatin1String(kAxes[c]));
        }
    }
    return QString();
}

void ZCoordinateItem::storeToParameter()
{
    ProtocolParameter* protocol = ProtocolParameter::instance();
    ParameterFrame& target = protocol->writeFrame();
    // Only the page on screen is written, under its group, when an answer filled
    // it; else the record's own group and rows go back as read (the writer refuses
    // while an editable page on screen is unfilled).
    const ZTableWidget* table = filledCurrentTable();
    if (!table) {
        const ParameterFrame& edited = protocol->backupFrame();
        target.setCoordinateGroup(edited.coordinateGroup());
        for (int r = 0; r < ParameterFrame::kAnchorRows; ++r) {
            for (int c = 0; c < 3; ++c)
                target.setAnchorCoordinate(r, c, edited.anchorCoordinate(r, c));
        }
        return;
    }
    target.setCoordinateGroup(quint8(pages_->currentIndex()));
    int r = 0;
    for (; r < table->rowCount() && r < ParameterFrame::kAnchorRows; ++r) {
        for (int c = 0; c < 3; ++c) {
            const QTableWidgetItem* item = table->item(r, c);
            qint32 mm = 0;
            // A cell that cannot be stored is left as it was: the writer refuses to
            // send while firstInvalidCell() names one.
            if (cellToMillimetres(item ? item->text() : QString(), &mm))
                target.setAnchorCoordinate(r, c, mm);
        }
    }
    for (; r < ParameterFrame::kAnchorRows; ++r) {
        for (int c = 0; c < 3; ++c)
            target.setAnchorCoordinate(r, c, ParameterFrame::kNoAnchorMm);
    }
}

} // namespace Trelvan
