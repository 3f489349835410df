#include "record/SliderWithTag.h"

#include "widgets/ZMenuWidget.h"

#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTime>
#include <QTimeEdit>
#include <QVBoxLayout>

ReplayTag::ReplayTag(int ms, int maxMs, QWidget* parent)
    : QToolButton(parent)
    , menu_(new MenuWidget(this))
    , ms_(ms)
    , maxMs_(maxMs)
{
    setAutoRaise(true);
    setArrowType(Qt::UpArrow);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setGeometry(x(), y(), 25, 25);

    menu_->setWindowFlags(Qt::Popup | Qt::FramelessWindowHint);
    auto* layout = new QVBoxLayout(menu_);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    noteEdit_ = new QLineEdit(QString::number(ms), menu_);
    noteEdit_->setPlaceholderText(tr("information"));
    timeEdit_ = new QTimeEdit(QTime(0, 0).addMSecs(ms), menu_);
    timeEdit_->setDisplayFormat("h:mm:ss:zzz");
    timeEdit_->setTimeRange(QTime(0, 0), QTime(0, 0).addMSecs(maxMs));
    auto* deleteButton = new QPushButton(tr("delete"), menu_);
    layout->addWidget(noteEdit_);
    layout->addWidget(timeEdit_);
    layout->addWidget(deleteButton);

    connect(noteEdit_, &QLineEdit::editingFinished, this, [this] { setToolTip(noteEdit_->text()); });
    connect(timeEdit_, &QTimeEdit::editingFinished, this, [this] {
        const QTime t = timeEdit_->time();
        ms_ = t.isValid() ? t.msecsSinceStartOfDay() : 0;
        updatePosition();
    });
    connect(deleteButton, &QPushButton::clicked, this, &QObject::deleteLater);
}

ReplayTag::~ReplayTag()
{
    delete menu_;
}

void ReplayTag::updatePosition()
{
    QWidget* p = parentWidget();
    if (!p)
        return;
    // A recording of zero length has no scale: its tags stand at the start.
    const qint64 px = maxMs_ > 0 ? qint64(p->width()) * ms_ / maxMs_ : 0;
    const int x = int(px) - width() / 2;
    const int y = int(p->height() - height() * 0.618);
    setGeometry(x, y, width(), height());
    if (isHidden())
        show();
}

void ReplayTag::mouseReleaseEvent(QMouseEvent* event)
{
    QToolButton::mouseReleaseEvent(event);
    if (event->button() == Qt::RightButton) {
        menu_->move(QCursor::pos());
        menu_->show();
        emit rightButtonClicked();
    } else if (event->button() == Qt::LeftButton) {
        emit leftButtonClicked();
    }
}

SliderWithTag::SliderWithTag(QWidget* parent)
    : QSlider(Qt::Horizontal, parent)
{
}

SliderWithTag::~SliderWithTag()
{
    // The tags report their destruction to the list: end them while it exists.
    clearTags();
}

void SliderWithTag::addTag(int ms, const QString& text)
{
    auto* tag = new ReplayTag(ms, maximum(), this);
    tag->setToolTip(text.isEmpty() ? QString::number(ms) : text);
    tags_.append(tag);
    tag->updatePosition();
    connect(tag, &ReplayTag::leftButtonClicked, this, [this, tag] {
        setValue(tag->ms());
        emit sliderReleased();
    });
    connect(tag, &QObject::destroyed, this, [this, tag] { tags_.removeAll(tag); });
}

void SliderWithTag::clearTags()
{
    const QList<ReplayTag*> tags = tags_;
    tags_.clear();
    qDeleteAll(tags);
}

void SliderWithTag::mouseReleaseEvent(QMouseEvent* event)
{
    QSlider::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    const qint64 range = qint64(maximum()) - minimum();
    qint64 value = minimum();
    if (orientation() == Qt::Horizontal) {
        if (width() > 0)
            value = minimum() + qint64(event->pos().x()) * range / width();
    } else if (height() > 0) {
        value = minimum() + range * (height() - event->pos().y()) / height();
    }
    setValue(int(qBound<qint64>(minimum(), value, maximum())));
    emit sliderReleased();
}

void SliderWithTag::resizeEvent(QResizeEvent* event)
{
    QSlider::resizeEvent(event);
    for (ReplayTag* tag : tags_)
        tag->updatePosition();
}
