#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QPoint>
#include <QWidget>

class ChartResourceItem;
class LineResourceItem;
class ScatterResourceItem;
class Scatter3DResourceItem;
class AttitudeResourceItem;
class ZPopupShadowWindow;
class ZColorTextLabel;
class ZColorLabel;
class QLabel;
class QComboBox;
class QCheckBox;
class QHBoxLayout;
class QVBoxLayout;
class QSpinBox;
class QTimer;
class QDoubleSpinBox;
class QToolButton;

// One series' row in a container's series panel: a visibility check box and the
// name; a right click opens a pop-up with the series' other settings. The pop-up
// is built when first needed: a page may show thousands of series, and their
// pop-ups, mostly never opened, cost more than the rows themselves. Controls
// write into the item; the item's change signal updates the controls, so edits
// made elsewhere show here and a write that changes nothing ends the round trip.
class ChartResourceSettingWidget : public QWidget
{
    Q_OBJECT
public:
    ChartResourceSettingWidget(ChartResourceItem* item, QWidget* parent = nullptr);

    ChartResourceItem* item() const { return item_; }
    // Fills every control from the item.
    void refreshAll();
    void addSettingWidgets(const QList<QWidget*>& widgets);
    void setContainerName(const QString& name);

    // For tests and the containers: the parts a user touches (the pop-up's parts
    // are built by asking for them).
    ZPopupShadowWindow* popup() { return ensurePopup(); }
    QCheckBox* visibleCheckBox() const { return visibleBox_; }
    ZColorTextLabel* nameLabel() const { return nameLabel_; }
    QLabel* belongLabel() { ensurePopup(); return belongLabel_; }
    QComboBox* containerBox() { ensurePopup(); return containerBox_; }
    ZColorLabel* colorSwatch() { ensurePopup(); return swatch_; }
    bool isPopupBuilt() const { return popup_ != nullptr; }
    // What a right click does: refill the container choice and show the pop-up.
    void openPopup();

signals:
    void focused();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

public slots:
    virtual void handleItemDataChanged(int column);

protected:
    QHBoxLayout* headerLayout() const { return headerLayout_; }
    // Builds the pop-up once, with the kind's own settings (addPopupSettings), and
    // fills it from the item.
    ZPopupShadowWindow* ensurePopup();
    // A kind whose settings are built with the pop-up adds them here.
    virtual void addPopupSettings() {}

private:
    ChartResourceItem* item_;
    ZPopupShadowWindow* popup_ = nullptr;
    QLabel* belongLabel_ = nullptr;
    ZColorTextLabel* nameLabel_;
    ZColorLabel* swatch_ = nullptr;
    QComboBox* containerBox_ = nullptr;
    QCheckBox* visibleBox_;
    QHBoxLayout* headerLayout_;
    QVBoxLayout* settingsLayout_ = nullptr;
};

class AttitudeResourceSettingWidget : public ChartResourceSettingWidget
{
    Q_OBJECT
public:
    AttitudeResourceSettingWidget(AttitudeResourceItem* item, QWidget* parent = nullptr);

public slots:
    void handleItemDataChanged(int column) override;
};

class LineResourceSettingWidget : public ChartResourceSettingWidget
{
    Q_OBJECT
public:
    LineResourceSettingWidget(LineResourceItem* item, QWidget* parent = nullptr);

    QSpinBox* widthBox() { ensurePopup(); return widthBox_; }
    QLabel* valueLabel() const { return valueLabel_; }

    // The shortest time between two writes of the value while it is shown.
    static constexpr int kValueIntervalMs = 30;

public slots:
    void handleItemDataChanged(int column) override;

protected:
    void showEvent(QShowEvent* event) override;
    void addPopupSettings() override;

private:
    void showValueSoon();
    void showValue();

    LineResourceItem* lineItem_;
    QSpinBox* widthBox_ = nullptr;
    QLabel* valueLabel_;
    // The value changes with every frame, up to thousands of times a second: the
    // label is written only while it can be seen, at most every kValueIntervalMs,
    // and always ends on the newest value.
    QTimer* valueTimer_;
    QElapsedTimer sinceValueShown_;
    bool valueStale_ = false;
};

class Scatter3DResourceSettingWidget : public ChartResourceSettingWidget
{
    Q_OBJECT
public:
    Scatter3DResourceSettingWidget(Scatter3DResourceItem* item, QWidget* parent = nullptr);

    QCheckBox* markerBox() const { return markerBox_; }
    QCheckBox* scatterTrackBox() const { return scatterTrackBox_; }
    QComboBox* markerTypeBox() const { return markerTypeBox_; }
    QDoubleSpinBox* markerSizeBox() const { return markerSizeBox_; }
    QDoubleSpinBox* trackWidthBox() const { return trackWidthBox_; }
    QSpinBox* trackLengthBox() const { return trackLengthBox_; }

public slots:
    void handleItemDataChanged(int column) override;

private:
    Scatter3DResourceItem* item3D_;
    QCheckBox* markerBox_;
    QCheckBox* scatterTrackBox_;
    QComboBox* markerTypeBox_;
    QDoubleSpinBox* markerSizeBox_;
    QDoubleSpinBox* trackWidthBox_;
    QSpinBox* trackLengthBox_;
};

class ScatterResourceSettingWidget : public ChartResourceSettingWidget
{
    Q_OBJECT
public:
    ScatterResourceSettingWidget(ScatterResourceItem* item, QWidget* parent = nullptr);

    QCheckBox* markerBox() const { return markerBox_; }
    QCheckBox* lineTrackBox() const { return lineTrackBox_; }
    QCheckBox* scatterTrackBox() const { return scatterTrackBox_; }
    QComboBox* markerTypeBox() const { return markerTypeBox_; }
    QToolButton* pictureButton() const { return pictureButton_; }
    QSpinBox* markerSizeBox() const { return markerSizeBox_; }
    QCheckBox* nameLabelBox() const { return nameLabelBox_; }
    QCheckBox* positionLabelBox() const { return positionLabelBox_; }
    QSpinBox* trackWidthBox() const { return trackWidthBox_; }
    QSpinBox* trackLengthBox() const { return trackLengthBox_; }

    // The marker-type choice of the combo box (index as the user picked it).
    void chooseMarkerType(int index);
    // Asks for a picture file; true when one was chosen (and written to the item).
    bool choosePicture();

public slots:
    void handleItemDataChanged(int column) override;

private:
    ScatterResourceItem* item2D_;
    QCheckBox* markerBox_;
    QCheckBox* lineTrackBox_;
    QCheckBox* scatterTrackBox_;
    QComboBox* markerTypeBox_;
    QToolButton* pictureButton_;
    QSpinBox* markerSizeBox_;
    QCheckBox* nameLabelBox_;
    QCheckBox* positionLabelBox_;
    QSpinBox* trackWidthBox_;
    QSpinBox* trackLengthBox_;
};
