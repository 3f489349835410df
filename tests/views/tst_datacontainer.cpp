#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QSignalSpy>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "foundation/UserPaths.h"
#include "foundation/ZColorSchemeManager.h"
#include "model/ContainerItems.h"
#include "model/DataWidgetBaseFactory.h"
#include "model/ResourceItemFactories.h"
#include "model/ResourceItems.h"
#include "support/testenv.h"
#include "views/DataContainer.h"
#include "views/DataResource.h"
#include "views/ViewHooks.h"
#include "widgets/DataWidgetBase.h"

namespace {

// A product page with some state of its own (a typed text) and a refresh count.
class TestPage : public DataWidgetBase
{
public:
    explicit TestPage(QWidget* parent) : DataWidgetBase(nullptr, parent)
    {
        auto* layout = new QVBoxLayout(this);
        edit = new QLineEdit(this);
        layout->addWidget(edit);
        layout->addWidget(new QLabel(QStringLiteral("page"), this));
    }
    void refresh() override { ++refreshes; }
    QLineEdit* edit;
    int refreshes = 0;
};

class TestPageFactory : public DataWidgetBaseFactory
{
public:
    DataWidgetBase* create(DataResourceItem*, QWidget* parent) override
    {
        auto* page = new TestPage(parent);
        page->hide();
        return page;
    }
};

std::unique_ptr<DataResourceItem> dataItem(const QString& belong, const QString& name)
{
    DataResourceItemFactory factory;
    auto* item = static_cast<DataResourceItem*>(factory.createItem(nullptr));
    item->setData(BaseResourceItem::ColBelong, belong);
    item->setData(BaseResourceItem::ColName, name);
    item->setFactory(new TestPageFactory);
    return std::unique_ptr<DataResourceItem>(item);
}

std::unique_ptr<DataContainerItem> dataContainerItem(const QString& name)
{
    DataContainerItemFactory factory;
    auto* item = static_cast<DataContainerItem*>(factory.createItem(nullptr));
    item->setData(0, name);
    return std::unique_ptr<DataContainerItem>(item);
}

} // namespace

class TestDataContainer : public QObject
{
    Q_OBJECT

    QStringList openedFolders_;
    QWidget owner_; // stands for the view manager, which owns the resources' scroll areas

private slots:
    void initTestCase()
    {
        initUserDataFolders();
        ZColorSchemeManager::instance()->applyStyleSheet(QString());
        ViewHooks::setOpenFolderHook([this](const QString& path) { openedFolders_ << path; });
    }

    void tabsFollowTheResources()
    {
        auto cItem = dataContainerItem("Data");
        DataContainer c(cItem.get());
        c.syncFromItem();
        QCOMPARE(c.toolBar()->actions().size(), 2); // "Screenshot" and "Clear chart area" only

        auto a = dataItem("A", "B");
        auto b = dataItem("AB", "");
        auto n = dataItem("Node", "Frame0");
        DataResource ra(a.get(), &owner_), rb(b.get(), &owner_), rn(n.get(), &owner_);
        c.putResource(&ra);
        c.putResource(&rb);
        c.putResource(&rn);
        QCOMPARE(c.tabs()->count(), 3);
        // Same title, still two tabs, in the order they came.
        QCOMPARE(c.tabs()->tabText(0), QString("AB"));
        QCOMPARE(c.tabs()->tabText(1), QString("AB"));
        QCOMPARE(c.tabs()->tabText(2), QString("NodeFrame0"));
        QCOMPARE(c.tabs()->widget(0), ra.scrollArea());
        QCOMPARE(c.tabs()->widget(1), rb.scrollArea());
        QCOMPARE(ra.scrollArea()->widget(), ra.view());
        QCOMPARE(cItem->resources().size(), 3);

        c.takeResource(&rb);
        QCOMPARE(c.tabs()->count(), 2);
        QCOMPARE(c.tabs()->indexOf(rb.scrollArea()), -1);
        QVERIFY(!rb.scrollArea()->isVisible());
        QVERIFY(rb.view()); // the page lives on with its resource
        QCOMPARE(cItem->resources().size(), 2);
        // Taking out what is not inside changes nothing.
        c.takeResource(&rb);
        QCOMPARE(c.tabs()->count(), 2);
        c.takeResource(&ra);
        c.takeResource(&rn);
    }

    void movingATabKeepsThePage()
    {
        auto item1 = dataContainerItem("Left");
        auto item2 = dataContainerItem("Right");
        auto d = dataItem("Tag", "Frame");
        DataResource r(d.get(), &owner_);
        auto* page = static_cast<TestPage*>(r.view());
        {
            DataContainer left(item1.get());
            DataContainer right(item2.get());
            left.putResource(&r);
            page->edit->setText("typed by the user");
            left.takeResource(&r);
            right.putResource(&r);
            QCOMPARE(left.tabs()->count(), 0);
            QCOMPARE(right.tabs()->count(), 1);
            QCOMPARE(right.tabs()->widget(0), r.scrollArea());
            QCOMPARE(r.view(), page);
            QCOMPARE(page->edit->text(), QString("typed by the user"));
            QVERIFY(right.isAncestorOf(page));
        }
        // A container that goes first leaves the page to its resource.
        QVERIFY(r.scrollArea());
        QCOMPARE(r.view(), page);
        QCOMPARE(page->edit->text(), QString("typed by the user"));
        r.updateFromItem();
        QCOMPARE(page->refreshes, 1);
    }

    void clearAsksFreeItemsOnly()
    {
        auto cItem = dataContainerItem("Data");
        DataContainer c(cItem.get());
        auto free1 = dataItem("A", "free");
        auto fixed = dataItem("A", "fixed");
        fixed->setFixedVisibility(true);
        DataResource r1(free1.get(), &owner_), r2(fixed.get(), &owner_);
        c.putResource(&r1);
        c.putResource(&r2);
        QSignalSpy s1(free1.get(), &DataResourceItem::clearRequired);
        QSignalSpy s2(fixed.get(), &DataResourceItem::clearRequired);
        c.clearButton()->click();
        QCOMPARE(s1.count(), 1);
        QCOMPARE(s2.count(), 0);
        QVERIFY(free1->isClearRequested());
        QVERIFY(!fixed->isClearRequested());
        c.takeResource(&r1);
        c.takeResource(&r2);
    }

    void screenshotHoldsTheTopBar()
    {
        auto cItem = dataContainerItem("Range");
        DataContainer c(cItem.get());
        c.syncFromItem();
        auto d = dataItem("Sensor", "Frame0");
        DataResource r(d.get(), &owner_);
        c.putResource(&r);
        static_cast<TestPage*>(r.view())->edit->setText("12.5 m");
        c.resize(500, 300);
        c.show();
        QVERIFY(QTest::qWaitForWindowExposed(&c));

        openedFolders_.clear();
        const QString path = c.takeScreenshot();
        QVERIFY(QFileInfo::exists(path));
        QVERIFY(QFileInfo(path).fileName().startsWith("[Range]ScreenShot_"));
        QCOMPARE(openedFolders_, QStringList{screenshotDir});
        const QImage shot = QImage(path).convertToFormat(QImage::Format_RGB32);
        QCOMPARE(shot.size(), c.size());
        // The name label of the top bar is in the picture, where it sits.
        const QRect labelRect(c.nameLabel()->mapTo(&c, QPoint(0, 0)), c.nameLabel()->size());
        const QImage label = c.nameLabel()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(shot.copy(labelRect), label);
        c.takeResource(&r);
    }
};

TALMENO_TEST_MAIN(TestDataContainer)
#include "tst_datacontainer.moc"
