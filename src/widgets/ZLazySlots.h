#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSize>
#include <QSpacerItem>

#include <functional>

class QLayout;
class QWidget;

// Stands in a layout for the widget of one subject until that widget is built.
class ZLazySlot : public QSpacerItem
{
public:
    ZLazySlot(QObject* subject, const QSize& size, QSizePolicy::Policy horizontal);
    // Laid out as the widget it stands for: box layouts put no spacing around an
    // empty item, and the widget, once built, would move everything after it.
    bool isEmpty() const override { return false; }
    // Null once the subject is gone.
    QObject* subject() const { return subject_; }
    // The subject's address as given, kept when it is gone.
    QObject* key() const { return key_; }

private:
    QPointer<QObject> subject_;
    QObject* key_;
};

// Builds the widgets of a layout's slots when they come into view, or when asked
// for. A page may list thousands of items (fresh node ids up to the node bound):
// their rows and boxes, mostly never scrolled to, would cost about 100 KB each and a
// relayout of the whole page as each one arrives. All slots of one layout are
// sized alike, as the widgets built so far (measure).
class ZLazySlots : public QObject
{
    Q_OBJECT
public:
    using Builder = std::function<QWidget*(QObject* subject)>;
    // The size a slot takes, given a widget already built and the host's width.
    using Measure = std::function<QSize(QWidget* sample, int hostWidth)>;

    // host: the widget whose layout (a box or flow layout) holds the slots; it sits
    // in a scroll area, whose viewport decides what is in view.
    ZLazySlots(QWidget* host, QLayout* layout, Builder build, Measure measure);

    // A slot for subject, sized as the slots before it; the caller puts it in the layout.
    ZLazySlot* makeSlot(QObject* subject);
    // True while subject has a slot or a widget (a subject gone no longer counts: its
    // address may be taken again).
    bool contains(QObject* subject) const;
    // subject's widget, built now in place of its slot if it is not yet; null for a
    // subject without a slot or gone.
    QWidget* widgetOf(QObject* subject);
    // The widget of subject if built, else null; builds nothing.
    QWidget* builtWidget(QObject* subject) const;
    int builtCount() const { return built_.size(); }
    // Takes subject's slot (deleted) or widget out of the layout and forgets it;
    // returns the widget, which the caller now owns, or null.
    QWidget* take(QObject* subject);
    // Builds the first slot's widget unless one is built: it gives every slot its size.
    void ensureSample();
    // Sizes the slots again (after the widgets' sizes changed).
    void resizeSlots();
    // Takes every slot out of the layout and deletes the widgets built: the layout
    // holds none of the subjects afterwards.
    void clear();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Follows the widgets the host lies in (the scroll area's viewport first): a
    // viewport that grows over a host that keeps its size and place (a taller window,
    // a split handle dragged), or a scroll area around the page that moves the page,
    // sends the host nothing, yet shows more of it.
    void watchAncestors();
    bool bringsSlotsIntoView(QObject* watched, QEvent* event) const;
    void scheduleFill();
    // subject's slot, unless the subject is gone.
    ZLazySlot* liveSlot(QObject* subject) const;
    // The slot at index of the layout, or null for any other item.
    ZLazySlot* slotAt(int index) const;
    void fillVisible();
    void place(ZLazySlot* slot, QWidget* widget);

    QWidget* host_;
    QLayout* layout_;
    Builder build_;
    Measure measure_;
    QHash<QObject*, ZLazySlot*> slots_;
    struct Built
    {
        QPointer<QObject> subject;
        QPointer<QWidget> widget;
    };
    QHash<QObject*, Built> built_;
    QPointer<QWidget> sample_;
    QList<QPointer<QWidget>> ancestors_;
    QSize slotSize_{1, 1}; // until a widget is built: small, yet not empty
    bool fillScheduled_ = false;
};
