#pragma once

#include <QList>
#include <QObject>
#include <QWidget>

class QComboBox;
class QHBoxLayout;
class QPushButton;
class QStackedLayout;
class QVBoxLayout;

// Supplies the pages of a ZMultiPageWidget. Its editable flag follows the widget's,
// so that pages can make their own fields read-only when editing is off.
class ZIPageFactory : public QObject
{
    Q_OBJECT
public:
    explicit ZIPageFactory(QObject* parent = nullptr) : QObject(parent) {}

    bool isEditable() const { return editable_; }
    void setEditable(bool editable) { editable_ = editable; }

    virtual QWidget* createPage(QWidget* parent) = 0;

private:
    bool editable_ = true;
};

// Named pages of one kind, one shown at a time, which the user adds, deletes, renames
// (by typing into the page chooser) and steps through.
class ZMultiPageWidget : public QWidget
{
    Q_OBJECT
public:
    // Takes ownership of the factory.
    explicit ZMultiPageWidget(ZIPageFactory* factory, QWidget* parent = nullptr);
    ~ZMultiPageWidget() override;

    int currentIndex() const;
    QWidget* currentPage() const;
    QString currentText() const;
    const QList<QWidget*>& pages() const { return pages_; }
    ZIPageFactory* factory() const { return factory_; }

    void setCurrentIndex(int index);

    void setEditable(bool editable);
    bool isEditable() const { return editable_; }
    // With several pages not allowed, adding stops at the first page.
    void setMultiplePagesAllowed(bool allowed) { multiplePages_ = allowed; }
    bool multiplePagesAllowed() const { return multiplePages_; }

    QComboBox* pageChooser() const { return chooser_; }
    QWidget* controlRow() const { return controlRow_; }

signals:
    void currentIndexChanged(int index);
    void activated(int index);

public slots:
    virtual void deletePage(int index);
    virtual void addNewPage(QString pageName = QStringLiteral("unnamed"));
    void previousPage();
    void nextPage();
    void indexChanged(int index);

protected:
    // Called after the editable state changed, with the new state.
    virtual void onEditableChanged(bool editable);

private:
    ZIPageFactory* factory_ = nullptr;
    QList<QWidget*> pages_;
    QStackedLayout* stack_ = nullptr;
    QComboBox* chooser_ = nullptr;
    QPushButton* nextButton_ = nullptr;
    QPushButton* previousButton_ = nullptr;
    QPushButton* addButton_ = nullptr;
    QPushButton* deleteButton_ = nullptr;
    QVBoxLayout* mainLayout_ = nullptr;
    QHBoxLayout* controlLayout_ = nullptr;
    bool multiplePages_ = true;
    bool editable_ = true;
    QWidget* controlRow_ = nullptr;
};
