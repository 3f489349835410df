#pragma once

#include <QIcon>
#include <QList>
#include <QWidget>

class QToolButton;
class QVBoxLayout;

// A vertical column of tool buttons packed at the top.
class ZVToolBarWidget : public QWidget
{
    Q_OBJECT
public:
    explicit ZVToolBarWidget(QWidget* parent = nullptr);

    QToolButton* addButton(const QIcon& icon, const QString& text);
    void addToolButton(QToolButton* button);
    void setToolButtonStyle(Qt::ToolButtonStyle style);

    Qt::ToolButtonStyle toolButtonStyle() const { return style_; }
    const QList<QToolButton*>& buttons() const { return buttons_; }

private:
    QList<QToolButton*> buttons_;
    Qt::ToolButtonStyle style_ = Qt::ToolButtonTextBesideIcon;
    QVBoxLayout* layout_ = nullptr;
};
