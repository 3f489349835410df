#pragma once

#include <QIcon>
#include <QString>
#include <QWidget>

class QTabBar;
class QStackedWidget;
class QHBoxLayout;

// A tab bar over a stack of pages, with a free area right of the tabs for labels
// and tool bars. The tab index and the page index always agree.
class CustomTabWidget : public QWidget
{
    Q_OBJECT
public:
    explicit CustomTabWidget(QWidget* parent = nullptr);

    // Adds page with its tab at index (-1 or out of range: at the end); returns the index used.
    int addPage(QWidget* page, const QIcon& icon, const QString& text, int index = -1);
    int addPage(QWidget* page, const QString& text, int index = -1);
    // Takes the page and its tab out; the page is hidden and given no parent, so that
    // it survives this widget (the pages belong to whoever put them in).
    void removePage(QWidget* page);
    // Ignored when page is not one of ours.
    void setCurrentPage(QWidget* page);
    void setPageIcon(QWidget* page, const QIcon& icon);
    int indexOf(QWidget* page) const;
    QWidget* page(int index) const;
    QWidget* currentPage() const;
    int count() const;

    QTabBar* tabBar() const { return tabBar_; }
    QStackedWidget* pages() const { return pages_; }
    QHBoxLayout* cornerLayout() const { return cornerLayout_; }

signals:
    // The text of a tab the user clicked.
    void activated(QString name);

private:
    QTabBar* tabBar_;
    QStackedWidget* pages_;
    QHBoxLayout* cornerLayout_;
};
