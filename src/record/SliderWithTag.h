#pragma once

#include <QList>
#include <QSlider>
#include <QToolButton>

class MenuWidget;
class QLineEdit;
class QTimeEdit;

// A stamp on the replay slider: a small arrow button at its time. A left click
// jumps there; a right click opens its menu (note, time, "delete").
class ReplayTag : public QToolButton
{
    Q_OBJECT
public:
    ReplayTag(int ms, int maxMs, QWidget* parent);
    ~ReplayTag() override;

    int ms() const { return ms_; }
    int maxMs() const { return maxMs_; }
    MenuWidget* menu() const { return menu_; }
    QLineEdit* noteEdit() const { return noteEdit_; }
    QTimeEdit* timeEdit() const { return timeEdit_; }

    // Places the tag over its time on the parent slider and shows it.
    void updatePosition();

signals:
    void leftButtonClicked();
    void rightButtonClicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    MenuWidget* menu_ = nullptr;
    int ms_ = 0;
    int maxMs_ = 0;
    QLineEdit* noteEdit_ = nullptr;
    QTimeEdit* timeEdit_ = nullptr;
};

// The replay's time slider: a click anywhere on the groove jumps there, and it
// carries the recording's stamps as tags.
class SliderWithTag : public QSlider
{
    Q_OBJECT
public:
    explicit SliderWithTag(QWidget* parent = nullptr);
    ~SliderWithTag() override;

    void addTag(int ms, const QString& text);
    void clearTags();
    const QList<ReplayTag*>& tags() const { return tags_; }

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QList<ReplayTag*> tags_;
};
