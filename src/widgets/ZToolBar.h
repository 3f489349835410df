#pragma once

#include <QToolBar>

// The program's own tool bar type, so that style sheets and searches can tell
// window tool bars apart from Qt's internal ones. No behaviour of its own.
class ZToolBar : public QToolBar
{
    Q_OBJECT
public:
    explicit ZToolBar(QWidget* parent = nullptr) : QToolBar(parent) {}
    explicit ZToolBar(const QString& title, QWidget* parent = nullptr) : QToolBar(title, parent) {}
};
