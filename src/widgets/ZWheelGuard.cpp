#include "widgets/ZWheelGuard.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QWheelEvent>

namespace {

const char* const kGuardName = "ZWheelGuard";

bool isGuarded(const QObject* object)
{
    return qobject_cast<const QComboBox*>(object) || qobject_cast<const QAbstractSpinBox*>(object);
}

// Qt's default focus policy lets the wheel focus these before any filter sees it.
void keepWheelFromFocusing(QWidget* widget)
{
    if (widget->focusPolicy() == Qt::WheelFocus)
        widget->setFocusPolicy(Qt::StrongFocus);
}

class WheelGuard : public QObject
{
public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // Runs for every event of every object: the type is checked before any cast.
        const QEvent::Type type = event->type();
        if ((type != QEvent::Wheel && type != QEvent::Polish) || !isGuarded(watched))
            return false;
        auto* widget = static_cast<QWidget*>(watched);
        if (type == QEvent::Polish) {
            keepWheelFromFocusing(widget);
            return false;
        }
        if (widget->hasFocus())
            return false;
        forwardToParents(widget, static_cast<QWheelEvent*>(event));
        return true;
    }

private:
    // The wheel goes on to the widgets under this one, as if it were not there, up
    // to the first that takes it (a scroll area, as a rule).
    static void forwardToParents(QWidget* widget, QWheelEvent* event)
    {
        QPointF position = event->position();
        QWidget* w = widget;
        while (!w->isWindow() && w->parentWidget() && !w->testAttribute(Qt::WA_NoMousePropagation)) {
            position += w->pos();
            w = w->parentWidget();
            QWheelEvent copy(position, event->globalPosition(), event->pixelDelta(), event->angleDelta(),
                             event->buttons(), event->modifiers(), event->phase(), event->inverted(),
                             event->source());
            copy.setAccepted(false);
            QApplication::sendEvent(w, &copy);
            if (copy.isAccepted())
                break;
        }
        event->accept();
    }
};

} // namespace

void installWheelGuard(QApplication* app)
{
    if (!app || app->findChild<QObject*>(kGuardName, Qt::FindDirectChildrenOnly))
        return;
    auto* guard = new WheelGuard(app);
    guard->setObjectName(kGuardName);
    app->installEventFilter(guard);
    // Widgets made before are polished already.
    for (QWidget* widget : QApplication::allWidgets()) {
        if (isGuarded(widget))
            keepWheelFromFocusing(widget);
    }
}
