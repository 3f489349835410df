#include "views/ChartResourceSettingWidget.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QDesktopWidget>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QMutexLocker>
#include <QScreen>
#include <QScrollArea>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "foundation/UserPaths.h"
#include "model/ResourceItems.h"
#include "views/ContainerNames.h"
#include "views/ScatterMarkerNames.h"
#include "views/ViewHooks.h"
#include "widgets/ZColorLabel.h"
#include "widgets/ZColorTextLabel.h"
#include "widgets/ZPopupShadowWindow.h"
#include "widgets/ZWidgetHelpers.h"

namespace {

QCheckBox* makeCheckBox(const QString& text, BaseItem* item, int column, QWidget* parent)
{
    auto* box = new QCheckBox(text, parent);
    QObject::connect(box, &QCheckBox::clicked, parent, [item, column](bool checked) { item->setData(column, checked); });
    return box;
}

QSpinBox* makeSpinBox(const QString& prefix, const QString& suffix, int min, int max, BaseItem* item, int column,
                      QWidget* parent)
{
    auto* box = new QSpinBox(parent);
    box->setPrefix(prefix);
    box->setSuffix(suffix);
    box->setRange(min, max);
    QObject::connect(box, &QSpinBox::editingFinished, parent,
                     [box, item, column] { item->setData(column, box->value()); });
    return box;
}

// Shows a percentage of a fraction stored in the item (3D sizes are fractions of the graph).
QDoubleSpinBox* makePercentBox(const QString& prefix, BaseItem* item, int column, QWidget* parent)
{
    auto* box = new QDoubleSpinBox(parent);
    box->setPrefix(prefix);
    box->setSuffix(QStringLiteral(" %"));
    box->setDecimals(1);
    box->setRange(0.0, 100.0);
    QObject::connect(box, &QDoubleSpinBox::editingFinished, parent,
                     [box, item, column] { item->setData(column, box->value() / 100.0); });
    return box;
}

void setCheckedQuietly(QCheckBox* box, bool checked)
{
    if (box->isChecked() != checked)
        box->setChecked(checked);
}

} // namespace

ChartResourceSettingWidget::ChartResourceSettingWidget(ChartResourceItem* item, QWidget* parent)
    : QWidget(parent), item_(item)
{
    nameLabel_ = new ZColorTextLabel(this);
    nameLabel_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // The series' colour is edited with the swatch; a right click must reach this widget.
    nameLabel_->setColorChangeable(false);

    visibleBox_ = new QCheckBox(this);
    connect(visibleBox_, &QCheckBox::clicked, this, [this](bool checked) { item_->setData(4, checked); });

    connect(item_, &BaseItem::dataChanged, this, &ChartResourceSettingWidget::handleItemDataChanged,
            Qt::AutoConnection);

    headerLayout_ = new QHBoxLayout(this);
    headerLayout_->setContentsMargins(0, 0, 0, 0);
    headerLayout_->setSpacing(0);
    headerLayout_->addWidget(visibleBox_, 0, Qt::AlignLeft | Qt::AlignVCenter);
    headerLayout_->addWidget(nameLabel_, 1);
}

ZPopupShadowWindow* ChartResourceSettingWidget::ensurePopup()
{
    if (popup_)
        return popup_;
    popup_ = new ZPopupShadowWindow(this);
    popup_->contentLayout()->setContentsMargins(0, 0, 0, 0);
    auto* popupContent = new QWidget(popup_);
    popup_->contentLayout()->addWidget(popupContent);
    auto* contentLayout = new QHBoxLayout(popupContent);
    contentLayout->setContentsMargins(0, 0, 0, 0);
    auto* scroll = new QScrollArea(popupContent);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    scroll->setWidgetResizable(true);
    auto* column = new QWidget(scroll);
    settingsLayout_ = new QVBoxLayout(column);
    scroll->setWidget(column);
    contentLayout->addWidget(scroll);
    popup_->hide();

    belongLabel_ = new QLabel(column);
    containerBox_ = new QComboBox(column);
    swatch_ = new ZColorLabel(item_->color(), column);
    swatch_->setText(tr("color"));
    settingsLayout_->addWidget(belongLabel_);
    settingsLayout_->addWidget(containerBox_);
    settingsLayout_->addWidget(swatch_);
    connect(containerBox_, &QComboBox::textActivated, this, &ChartResourceSettingWidget::setContainerName);
    connect(swatch_, &ZColorLabel::colorChanged, this,
            [this](QColor color) { item_->setData(5, color.name(QColor::HexRgb)); });
    addPopupSettings();
    refreshAll();
    return popup_;
}

void ChartResourceSettingWidget::refreshAll()
{
    const int n = item_->columnCount();
    for (int c = 0; c < n; ++c)
        handleItemDataChanged(c);
}

void ChartResourceSettingWidget::addSettingWidgets(const QList<QWidget*>& widgets)
{
    ensurePopup();
    for (QWidget* w : widgets)
        settingsLayout_->addWidget(w);
}

void ChartResourceSettingWidget::setContainerName(const QString& name)
{
    item_->setData(3, name);
}

void ChartResourceSettingWidget::handleItemDataChanged(int column)
{
    // The pop-up's controls are filled when it is built.
    if (!popup_ && (column == 0 || column == 3))
        return;
    switch (column) {
    case 0:
        belongLabel_->setText(item_->belong());
        break;
    case 1:
        nameLabel_->setText(item_->name());
        break;
    case 3: {
        const QString name = item_->containerName();
        if (!name.isEmpty() && containerBox_->findText(name) < 0)
            containerBox_->addItem(name);
        containerBox_->setCurrentText(name);
        break;
    }
    case 4:
        setCheckedQuietly(visibleBox_, item_->isVisible());
        break;
    case 5:
        nameLabel_->setColor(item_->color());
        if (swatch_)
            swatch_->setColor(item_->color());
        break;
    default:
        break;
    }
}

void ChartResourceSettingWidget::openPopup()
{
    // Refilling must not move the series: the choice is connected again only afterwards.
    ensurePopup();
    disconnect(containerBox_, &QComboBox::currentTextChanged, this, &ChartResourceSettingWidget::setContainerName);
    containerBox_->clear();
    containerBox_->addItems(availableContainerNames(item_));
    containerBox_->setCurrentText(item_->containerName());
    connect(containerBox_, &QComboBox::currentTextChanged, this, &ChartResourceSettingWidget::setContainerName,
            Qt::UniqueConnection);

    popup_->popupAtCursor();
    // Keep the pop-up on the screen: open it upwards when it would pass the bottom.
    const QPoint cursor = QCursor::pos();
    if (QScreen* screen = QGuiApplication::screenAt(cursor)) {
        const QRect area = screen->availableGeometry();
        if (cursor.y() + popup_->height() > area.bottom())
            popup_->move(cursor.x(), qMax(area.top(), cursor.y() - popup_->height()));
    }
}

void ChartResourceSettingWidget::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        openPopup();
        event->accept();
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

void ChartResourceSettingWidget::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        emit focused();
        event->accept();
        return;
    }
    QWidget::mouseDoubleClickEvent(event);
}

// ---------------------------------------------------------------- attitude

AttitudeResourceSettingWidget::AttitudeResourceSettingWidget(AttitudeResourceItem* item, QWidget* parent)
    : ChartResourceSettingWidget(item, parent)
{
}

void AttitudeResourceSettingWidget::handleItemDataChanged(int column)
{
    if (column < 6)
        ChartResourceSettingWidget::handleItemDataChanged(column);
}

// ---------------------------------------------------------------- line

LineResourceSettingWidget::LineResourceSettingWidget(LineResourceItem* item, QWidget* parent)
    : ChartResourceSettingWidget(item, parent), lineItem_(item)
{
    valueLabel_ = new QLabel(this);
    valueLabel_->setFont(monospaceFont());
    valueLabel_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    valueLabel_->setFixedWidth(digitsWidth(valueLabel_->font(), 12));
    headerLayout()->addWidget(valueLabel_, 1);

    valueTimer_ = new QTimer(this);
    valueTimer_->setSingleShot(true);
    connect(valueTimer_, &QTimer::timeout, this, &LineResourceSettingWidget::showValue);
}

void LineResourceSettingWidget::addPopupSettings()
{
    widthBox_ = makeSpinBox(tr("Line Width: "), tr(" px"), 1, 100, lineItem_, LineResourceItem::ColWidth, this);
    widthBox_->setValue(lineItem_->lineRecord()->Width);
    addSettingWidgets({widthBox_});
}

void LineResourceSettingWidget::handleItemDataChanged(int column)
{
    if (column < 6) {
        ChartResourceSettingWidget::handleItemDataChanged(column);
        return;
    }
    if (column == 6) {
        showValueSoon();
    } else if (column == LineResourceItem::ColWidth && widthBox_) {
        widthBox_->setValue(lineItem_->lineRecord()->Width);
    }
}

void LineResourceSettingWidget::showValueSoon()
{
    if (!isVisible()) {
        valueStale_ = true;
        return;
    }
    if (valueTimer_->isActive())
        return;
    const qint64 since = sinceValueShown_.isValid() ? sinceValueShown_.elapsed() : kValueIntervalMs;
    if (since >= kValueIntervalMs)
        showValue();
    else
        valueTimer_->start(int(kValueIntervalMs - since));
}

void LineResourceSettingWidget::showValue()
{
    valueStale_ = false;
    sinceValueShown_.start();
    // values() copies under the item's lock (an implicitly shared copy).
    const QList<double> values = lineItem_->values();
    const double v = values.isEmpty() ? lineItem_->lastValue() : values.last();
    valueLabel_->setText(QStringLiteral("%1").arg(v, -12, 'g', 6));
}

void LineResourceSettingWidget::showEvent(QShowEvent* event)
{
    ChartResourceSettingWidget::showEvent(event);
    if (valueStale_)
        showValue();
}

// ---------------------------------------------------------------- 3D scatter

Scatter3DResourceSettingWidget::Scatter3DResourceSettingWidget(Scatter3DResourceItem* item, QWidget* parent)
    : ChartResourceSettingWidget(item, parent), item3D_(item)
{
    markerBox_ = makeCheckBox(tr("Marker"), item, Scatter3DResourceItem::ColShowMarker, this);
    scatterTrackBox_ = makeCheckBox(tr("Scatter Track"), item, Scatter3DResourceItem::ColShowScatterTrack, this);
    markerTypeBox_ = new QComboBox(this);
    markerTypeBox_->addItems(Scatter3DResourceItem::markerTypeNames());
    connect(markerTypeBox_, QOverload<int>::of(&QComboBox::activated), this,
            [this](int index) { item3D_->setData(Scatter3DResourceItem::ColMarkerType, index); });
    markerSizeBox_ = makePercentBox(tr("Marker Size: "), item, Scatter3DResourceItem::ColMarkerSize, this);
    trackWidthBox_ = makePercentBox(tr("Track Width: "), item, Scatter3DResourceItem::ColTrackWidth, this);
    trackLengthBox_ = makeSpinBox(tr("Track Length: "), tr(" Points"), 1, 100000, item,
                                  Scatter3DResourceItem::ColTrackLength, this);
    addSettingWidgets({markerBox_, scatterTrackBox_, markerTypeBox_, markerSizeBox_, trackWidthBox_, trackLengthBox_});
}

void Scatter3DResourceSettingWidget::handleItemDataChanged(int column)
{
    if (column < 6) {
        ChartResourceSettingWidget::handleItemDataChanged(column);
        return;
    }
    const Scatter3DResourceItem::Data* r = item3D_->scatter3DRecord();
    switch (column) {
    case Scatter3DResourceItem::ColShowMarker:
        setCheckedQuietly(markerBox_, r->ShowMarker);
        break;
    case Scatter3DResourceItem::ColShowScatterTrack:
        setCheckedQuietly(scatterTrackBox_, r->ShowScatterTrack);
        break;
    case Scatter3DResourceItem::ColMarkerType:
        markerTypeBox_->setCurrentIndex(r->MarkerType);
        break;
    case Scatter3DResourceItem::ColMarkerSize:
        markerSizeBox_->setValue(double(r->MarkerSize) * 100.0);
        break;
    case Scatter3DResourceItem::ColTrackWidth:
        trackWidthBox_->setValue(double(r->TrackWidth) * 100.0);
        break;
    case Scatter3DResourceItem::ColTrackLength:
        trackLengthBox_->setValue(r->TrackLength);
        break;
    default:
        break;
    }
}

// ---------------------------------------------------------------- 2D scatter

ScatterResourceSettingWidget::ScatterResourceSettingWidget(ScatterResourceItem* item, QWidget* parent)
    : ChartResourceSettingWidget(item, parent), item2D_(item)
{
    markerBox_ = makeCheckBox(tr("Marker"), item, ScatterResourceItem::ColShowMarker, this);
    lineTrackBox_ = makeCheckBox(tr("Line Track"), item, ScatterResourceItem::ColShowLineTrack, this);
    scatterTrackBox_ = makeCheckBox(tr("Scatter Track"), item, ScatterResourceItem::ColShowScatterTrack, this);
    markerTypeBox_ = new QComboBox(this);
    markerTypeBox_->addItems(scatterMarkerNames());
    connect(markerTypeBox_, QOverload<int>::of(&QComboBox::activated), this,
            &ScatterResourceSettingWidget::chooseMarkerType);
    pictureButton_ = new QToolButton(this);
    connect(pictureButton_, &QToolButton::clicked, this, [this] { choosePicture(); });
    markerSizeBox_ = makeSpinBox(tr("Marker Size: "), tr(" px"), 1, 100, item, ScatterResourceItem::ColMarkerSize,
                                 this);
    nameLabelBox_ = makeCheckBox(tr("Name Label"), item, ScatterResourceItem::ColShowName, this);
    positionLabelBox_ = makeCheckBox(tr("Position Label"), item, ScatterResourceItem::ColShowCoordinate, this);
    trackWidthBox_ = makeSpinBox(tr("Track Width: "), tr(" px"), 1, 100, item, ScatterResourceItem::ColTrackWidth,
                                 this);
    trackLengthBox_ = makeSpinBox(tr("Track Length: "), tr(" Points"), 1, 100000, item,
                                  ScatterResourceItem::ColTrackLength, this);
    addSettingWidgets({markerBox_, lineTrackBox_, scatterTrackBox_, markerTypeBox_, pictureButton_, markerSizeBox_,
                       nameLabelBox_, positionLabelBox_, trackWidthBox_, trackLengthBox_});
}

void ScatterResourceSettingWidget::chooseMarkerType(int index)
{
    int type = index;
    if (index == 2 && item2D_->scatterRecord()->MarkerFilePath.isEmpty() && !choosePicture())
        type = item2D_->scatterRecord()->MarkerType;
    item2D_->setData(ScatterResourceItem::ColMarkerType, type);
    // A cancelled choice writes nothing, so no change signal would put the box back.
    markerTypeBox_->setCurrentIndex(item2D_->scatterRecord()->MarkerType);
}

bool ScatterResourceSettingWidget::choosePicture()
{
    const QString folder = userDataDir.isEmpty() ? pictureDir : userDataDir + QStringLiteral("/picture");
    const QString path = ViewHooks::getOpenFileName(this, tr("Open File"), folder,
                                                    tr("image files (*.bmp *.jpg *.jpeg *.png)"));
    if (path.isEmpty())
        return false;
    item2D_->setData(ScatterResourceItem::ColMarkerFilePath, path);
    return true;
}

void ScatterResourceSettingWidget::handleItemDataChanged(int column)
{
    if (column < 6) {
        ChartResourceSettingWidget::handleItemDataChanged(column);
        return;
    }
    const ScatterResourceItem::Data* r = item2D_->scatterRecord();
    switch (column) {
    case ScatterResourceItem::ColShowMarker:
        setCheckedQuietly(markerBox_, r->ShowMarker);
        break;
    case ScatterResourceItem::ColShowLineTrack:
        setCheckedQuietly(lineTrackBox_, r->ShowLineTrack);
        break;
    case ScatterResourceItem::ColShowScatterTrack:
        setCheckedQuietly(scatterTrackBox_, r->ShowScatterTrack);
        break;
    case ScatterResourceItem::ColMarkerType:
        markerTypeBox_->setCurrentIndex(r->MarkerType);
        pictureButton_->setEnabled(r->MarkerType == 2);
        break;
    case ScatterResourceItem::ColMarkerFilePath:
        pictureButton_->setIcon(QIcon(r->MarkerFilePath));
        break;
    case ScatterResourceItem::ColMarkerSize:
        markerSizeBox_->setValue(r->MarkerSize);
        break;
    case ScatterResourceItem::ColShowName:
        setCheckedQuietly(nameLabelBox_, r->ShowName);
        break;
    case ScatterResourceItem::ColShowCoordinate:
        setCheckedQuietly(positionLabelBox_, r->ShowCoordinate);
        break;
    case ScatterResourceItem::ColTrackWidth:
        trackWidthBox_->setValue(r->TrackWidth);
        break;
    case ScatterResourceItem::ColTrackLength:
        trackLengthBox_->setValue(r->TrackLength);
        break;
    default:
        break;
    }
}
