#include "widgets/ZLazySlots.h"

#include <QBoxLayout>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include "widgets/ZFlowLayout.h"

ZLazySlot::ZLazySlot(QObject* subject, const QSize& size, QSizePolicy::Policy horizontal)
    : QSpacerItem(size.width(), size.height(), horizontal, QSizePolicy::Fixed)
    , subject_(subject)
    , key_(subject)
{
}

ZLazySlots::ZLazySlots(QWidget* host, QLayout* layout, Builder build, Measure measure)
    : QObject(host)
    , host_(host)
    , layout_(layout)
    , build_(std::move(build))
    , measure_(std::move(measure))
{
    // The host moves when its scroll area scrolls (as does an ancestor when a scroll
    // area around the page scrolls), and is resized and laid out again as slots come
    // and go: each may bring other slots into view.
    host_->installEventFilter(this);
    watchAncestors();
}

void ZLazySlots::watchAncestors()
{
    QList<QPointer<QWidget>> chain;
    for (QWidget* w = host_->parentWidget(); w; w = w->isWindow() ? nullptr : w->parentWidget())
        chain << w;
    if (chain == ancestors_)
        return;
    for (const QPointer<QWidget>& w : qAsConst(ancestors_))
        if (w)
            w->removeEventFilter(this);
    ancestors_ = chain;
    for (QWidget* w : chain)
        w->installEventFilter(this);
}

ZLazySlot* ZLazySlots::makeSlot(QObject* subject)
{
    auto* slot = new ZLazySlot(subject, slotSize_, QSizePolicy::Minimum);
    slots_.insert(subject, slot);
    scheduleFill();
    return slot;
}

ZLazySlot* ZLazySlots::liveSlot(QObject* subject) const
{
    ZLazySlot* slot = slots_.value(subject);
    return slot && slot->subject() == subject ? slot : nullptr;
}

ZLazySlot* ZLazySlots::slotAt(int index) const
{
    QLayoutItem* item = layout_->itemAt(index);
    return item && item->spacerItem() ? dynamic_cast<ZLazySlot*>(item) : nullptr;
}

bool ZLazySlots::contains(QObject* subject) const
{
    return liveSlot(subject) || builtWidget(subject);
}

QWidget* ZLazySlots::builtWidget(QObject* subject) const
{
    const auto it = built_.constFind(subject);
    return it != built_.constEnd() && it->subject == subject ? it->widget.data() : nullptr;
}

QWidget* ZLazySlots::widgetOf(QObject* subject)
{
    if (QWidget* widget = builtWidget(subject))
        return widget;
    ZLazySlot* slot = liveSlot(subject);
    if (!slot)
        return nullptr;
    QWidget* widget = build_(subject);
    place(slot, widget);
    return widget;
}

QWidget* ZLazySlots::take(QObject* subject)
{
    if (ZLazySlot* slot = slots_.value(subject)) {
        slots_.remove(subject);
        const int index = layout_->indexOf(slot);
        if (index >= 0)
            delete layout_->takeAt(index);
        return nullptr;
    }
    const auto it = built_.find(subject);
    if (it == built_.end())
        return nullptr;
    QWidget* widget = it->widget;
    built_.erase(it);
    if (widget)
        layout_->removeWidget(widget);
    if (sample_ == widget)
        sample_ = nullptr;
    return widget;
}

void ZLazySlots::place(ZLazySlot* slot, QWidget* widget)
{
    QObject* subject = slot->key();
    if (slots_.value(subject) == slot)
        slots_.remove(subject);
    const int index = layout_->indexOf(slot);
    if (widget && index >= 0) {
        built_.insert(subject, Built{subject, widget});
        if (auto* flow = qobject_cast<ZFlowLayout*>(layout_))
            flow->replaceAt(index, widget);
        else if (auto* box = qobject_cast<QBoxLayout*>(layout_)) {
            delete box->takeAt(index);
            box->insertWidget(index, widget);
        }
        widget->show();
    } else if (index >= 0) {
        // The subject is gone: its slot leaves the layout.
        delete layout_->takeAt(index);
    }
    if (widget && !sample_) {
        sample_ = widget;
        resizeSlots();
    }
}

void ZLazySlots::resizeSlots()
{
    if (!sample_)
        return;
    const QSize size = measure_(sample_, host_->width());
    if (size == slotSize_)
        return;
    slotSize_ = size;
    for (ZLazySlot* slot : qAsConst(slots_))
        slot->changeSize(size.width(), size.height(), QSizePolicy::Minimum, QSizePolicy::Fixed);
    layout_->invalidate();
}

void ZLazySlots::clear()
{
    // One pass over the layout, not a search for each slot: a page may hold a
    // thousand of them.
    for (int i = layout_->count() - 1; i >= 0; --i)
        if (ZLazySlot* slot = slotAt(i); slot && slots_.value(slot->key()) == slot)
            delete layout_->takeAt(i);
    slots_.clear();
    // Deleted widgets leave their layout by themselves.
    for (const Built& built : qAsConst(built_))
        delete built.widget.data();
    built_.clear();
}

bool ZLazySlots::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    // Watched widgets are the host and its ancestors: a new parent anywhere changes
    // the chain, and a host shown has its final one as a rule.
    if (type == QEvent::ParentChange || (watched == host_ && type == QEvent::Show))
        watchAncestors();
    if (bringsSlotsIntoView(watched, event))
        scheduleFill();
    return QObject::eventFilter(watched, event);
}

bool ZLazySlots::bringsSlotsIntoView(QObject* watched, QEvent* event) const
{
    switch (event->type()) {
    case QEvent::Resize:
    case QEvent::Show:
        return true;
    case QEvent::Move:
        // A window moved on the screen shows no more of itself.
        return watched == host_ || !static_cast<QWidget*>(watched)->isWindow();
    case QEvent::LayoutRequest:
        // Slots come and go, built widgets change size (a new text included).
        return watched == host_ || !static_cast<QWidget*>(watched)->isWindow();
    default:
        return false;
    }
}

void ZLazySlots::scheduleFill()
{
    if (fillScheduled_ || slots_.isEmpty())
        return;
    // Once per turn of the event loop, after the layouts have settled.
    fillScheduled_ = true;
    QTimer::singleShot(0, this, [this] {
        fillScheduled_ = false;
        fillVisible();
    });
}

void ZLazySlots::ensureSample()
{
    if (sample_)
        return;
    for (int i = 0; i < layout_->count(); ++i) {
        if (ZLazySlot* slot = slotAt(i)) {
            place(slot, slot->subject() ? build_(slot->subject()) : nullptr);
            if (sample_)
                return;
            --i; // a slot whose subject is gone left the layout
        }
    }
}

void ZLazySlots::fillVisible()
{
    if (slots_.isEmpty() || !host_->isVisible())
        return;
    // A host sized by what it holds may show none of the slots until they have a
    // size (a column of no width): the first widget is built in view or not, and
    // the rest are looked at once the slots have its size.
    if (!sample_) {
        ensureSample();
        scheduleFill();
        return;
    }
    resizeSlots();
    layout_->activate();
    QList<ZLazySlot*> shown;
    const QRect view = host_->visibleRegion().boundingRect();
    for (int i = 0; i < layout_->count() && !view.isEmpty(); ++i)
        if (ZLazySlot* slot = slotAt(i); slot && slot->geometry().intersects(view))
            shown << slot;
    for (ZLazySlot* slot : qAsConst(shown))
        place(slot, slot->subject() ? build_(slot->subject()) : nullptr);
    // What was built moves the rest: look again once the layout has settled.
    if (!shown.isEmpty())
        scheduleFill();
}
