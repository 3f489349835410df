#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QSplitter>
#include <QTabBar>
#include <QTemporaryDir>
#include <QToolButton>
#include <memory>

#include "foundation/UserPaths.h"
#include "foundation/ZThreadManager.h"
#include "model/BaseModel.h"
#include "model/ContainerItems.h"
#include "model/ModelManager.h"
#include "model/ResourceItems.h"
#include "model/WindowModel.h"
#include "support/testenv.h"
#include "views/BaseContainer.h"
#include "views/BaseResource.h"
#include "views/CustomTabWidget.h"
#include "views/LineContainer.h"
#include "views/ViewManager.h"
#include "views/WindowLayout.h"

namespace {

struct Box
{
    QString title;
    QString text;
};

// One page (Line and 2D scatter) built the way a page is built: view side first,
// then the file loaded, which makes one window and a default container per type.
struct Page
{
    QTemporaryDir dir;
    std::unique_ptr<ModelManager> models;
    std::unique_ptr<ViewManager> views;

    Page()
    {
        models.reset(new ModelManager(dir.filePath("page.ini"), {ResourceType::Line, ResourceType::Scatter}));
        views.reset(new ViewManager(models.get()));
        models->loadSettings();
        views->windowView()->resize(1200, 800);
        views->windowView()->show();
        QCoreApplication::processEvents();
    }
    ~Page()
    {
        // As a page goes: models first (their announcements empty the view side).
        models.reset();
        views.reset();
    }

    WindowView* view() const { return views->windowView(); }
    WindowModel* windows() const { return models->windowModel(); }
    BaseContainerModel* containers(ResourceType t) const { return models->containerModel(t); }
    WindowWidget* onlyWindow() const
    {
        const QStringList names = view()->windowNames();
        return names.size() == 1 ? view()->window(names.first()) : nullptr;
    }
    BaseContainer* widgetOf(ResourceType t, const QString& name) const { return views->container(t, name); }
    BaseContainer* defaultWidget(ResourceType t) const
    {
        return widgetOf(t, containers(t)->defaultContainerName());
    }
    QString newContainer(ResourceType t, WindowWidget* window) const
    {
        const QStringList before = containers(t)->names();
        emit window->newContainerNeeded(t);
        for (const QString& n : containers(t)->names())
            if (!before.contains(n))
                return n;
        return QString();
    }
};

QStringList tabTexts(SplitableWindow* window)
{
    QStringList texts;
    for (int i = 0; i < window->tabs()->tabBar()->count(); ++i)
        texts << window->tabs()->tabBar()->tabText(i);
    return texts;
}

QAction* menuEntry(QMenu* menu, const QString& text)
{
    for (QAction* a : menu->actions())
        if (a->text() == text)
            return a;
    return nullptr;
}

} // namespace

class TestLayout : public QObject
{
    Q_OBJECT

    QList<Box> boxes_;

private slots:
    void initTestCase()
    {
        initUserDataFolders();
        ZThreadManager::instance();
        LayoutHooks::setInformationHook(
            [this](QWidget*, const QString& title, const QString& text) { boxes_ << Box{title, text}; });
    }
    void init() { boxes_.clear(); }

    void loadedPageShowsOneWindowWithItsContainers()
    {
        Page page;
        WindowWidget* window = page.onlyWindow();
        QVERIFY(window);
        QCOMPARE(window->parentWidget(), page.view());
        QCOMPARE(page.view()->rootLayout()->count(), 1);
        const QString line = page.containers(ResourceType::Line)->defaultContainerName();
        const QString scatter = page.containers(ResourceType::Scatter)->defaultContainerName();
        QCOMPARE(tabTexts(window), (QStringList{line, scatter}));
        QVERIFY(page.widgetOf(ResourceType::Line, line)->isVisibleTo(page.view()));
        QCOMPARE(window->nameLabel()->text(), window->windowName());
    }

    void splitsBuildSplittersAroundTheWindow()
    {
        Page page;
        WindowWidget* first = page.onlyWindow();
        const QString firstName = first->windowName();
        first->horizontalSplitAction()->trigger();

        QCOMPARE(page.view()->windowNames().size(), 2);
        WindowItem* firstItem = page.windows()->window(firstName);
        QCOMPARE(int(firstItem->orientation()), 1);
        WindowItem* splitterItem = firstItem->parentItem();
        QCOMPARE(splitterItem->type(), WindowItem::Splitter);
        auto* splitter = qobject_cast<QSplitter*>(page.view()->itemInterface(splitterItem->name())->itemWidget());
        QVERIFY(splitter);
        QCOMPARE(splitter->orientation(), Qt::Horizontal);
        QCOMPARE(splitter->count(), 2);
        QCOMPARE(splitter->widget(0), static_cast<QWidget*>(first));
        const QString secondName = splitterItem->children().at(1)->name();
        WindowWidget* second = page.view()->window(secondName);
        QCOMPARE(splitter->widget(1), static_cast<QWidget*>(second));
        QCOMPARE(splitter->parentWidget(), page.view());
        QVERIFY(second->isVisibleTo(page.view()));
        // The containers stayed in the old window.
        QCOMPARE(first->containers().size(), 2);
        QCOMPARE(second->containers().size(), 0);

        second->verticalSplitAction()->trigger();
        WindowItem* inner = page.windows()->window(secondName)->parentItem();
        auto* innerSplitter = qobject_cast<QSplitter*>(page.view()->itemInterface(inner->name())->itemWidget());
        QVERIFY(innerSplitter && innerSplitter != splitter);
        QCOMPARE(innerSplitter->orientation(), Qt::Vertical);
        QCOMPARE(innerSplitter->parentWidget(), static_cast<QWidget*>(splitter));
        QCOMPARE(splitter->indexOf(innerSplitter), 1);
        QCOMPARE(page.view()->windowNames().size(), 3);
    }

    void closingTheOnlyWindowIsRefusedBeforeAnyContainerCloses()
    {
        Page page;
        WindowWidget* window = page.onlyWindow();
        // A second Line container would be closed at once (it is not the default).
        const QString extra = page.newContainer(ResourceType::Line, window);
        QVERIFY(!extra.isEmpty());
        QCOMPARE(window->containers().size(), 3);

        window->closeWindowAction()->trigger();
        QCoreApplication::processEvents();

        QCOMPARE(boxes_.size(), 1);
        QCOMPARE(boxes_.first().title, QString("Notice"));
        QCOMPARE(boxes_.first().text, QString("It is not allowed to close the final window"));
        QVERIFY(page.containers(ResourceType::Line)->container(extra));
        QCOMPARE(page.containers(ResourceType::Line)->names().size(), 2);
        QCOMPARE(window->containers().size(), 3);
        QCOMPARE(page.view()->windowNames(), QStringList{window->windowName()});
    }

    void closingAWindowStopsAtTheLastDefaultContainerWithResources()
    {
        Page page;
        WindowWidget* first = page.onlyWindow();
        first->horizontalSplitAction()->trigger();
        auto* lineItem = page.models->createResource(ResourceType::Line, "dev", "speed");
        QVERIFY(lineItem);
        const QString oldDefault = page.containers(ResourceType::Line)->defaultContainerName();
        QCOMPARE(lineItem->containerName(), oldDefault);
        // Insertion order in the window: Line default, 2D default, the new Line one.
        const QString extra = page.newContainer(ResourceType::Line, first);
        QCOMPARE(tabTexts(first).last(), extra);

        first->closeWindowAction()->trigger();
        QCoreApplication::processEvents();

        // The old default handed over its role and its resource and went; the 2D
        // default had no resources and went; the new default with the resource stays.
        QVERIFY(!page.containers(ResourceType::Line)->container(oldDefault));
        QCOMPARE(page.containers(ResourceType::Line)->defaultContainerName(), extra);
        QCOMPARE(lineItem->containerName(), extra);
        QVERIFY(page.containers(ResourceType::Scatter)->names().isEmpty());
        QCOMPARE(boxes_.size(), 1);
        QCOMPARE(boxes_.first().title, QString("The container cannot be closed"));
        QCOMPARE(boxes_.first().text,
                 QString("It has already been the last container for Line, and Line resources have been allocated"));
        QCOMPARE(page.view()->windowNames().size(), 2);
        QCOMPARE(tabTexts(first), QStringList{extra});
        BaseResource* resource = page.views->resource(ResourceType::Line, "devspeed");
        QVERIFY(page.widgetOf(ResourceType::Line, extra)->resources().contains(resource));
    }

    void closingOneOfTwoWindowsGivesTheOtherTheSplittersPlace()
    {
        Page page;
        WindowWidget* first = page.onlyWindow();
        const QString firstName = first->windowName();
        first->verticalSplitAction()->trigger();
        const QString splitterName = page.windows()->window(firstName)->parentItem()->name();
        QPointer<QWidget> splitter = page.view()->itemInterface(splitterName)->itemWidget();
        QString secondName;
        for (const QString& n : page.view()->windowNames())
            if (n != firstName)
                secondName = n;
        QPointer<WindowWidget> second = page.view()->window(secondName);

        second->closeWindowAction()->trigger();
        QVERIFY(boxes_.isEmpty());
        // The splitter goes at once, the window on the next pass of the event loop.
        QVERIFY(!splitter);
        QCOMPARE(first->parentWidget(), page.view());
        QVERIFY(second && !second->isVisible());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!second);
        QCOMPARE(page.view()->windowNames(), QStringList{firstName});
        QCOMPARE(page.view()->rootLayout()->count(), 1);
        QCOMPARE(first->containers().size(), 2);
    }

    void newContainerMenuListsThePageTypes()
    {
        Page page;
        WindowWidget* first = page.onlyWindow();
        QCOMPARE(first->newContainerButton()->objectName(), QString("QToolButton_Without_menu_indicator"));
        QCOMPARE(first->newContainerButton()->toolTip(), QString("Create new resource container in this window"));
        QCOMPARE(first->newContainerButton()->popupMode(), QToolButton::InstantPopup);
        QStringList entries;
        for (QAction* a : first->newContainerMenu()->actions()) {
            entries << a->text();
            QVERIFY(!a->icon().isNull());
        }
        QCOMPARE(entries, (QStringList{"Line", "2D"}));

        first->horizontalSplitAction()->trigger();
        QString secondName;
        for (const QString& n : page.view()->windowNames())
            if (n != first->windowName())
                secondName = n;
        WindowWidget* second = page.view()->window(secondName);
        const QString oldDefault = page.containers(ResourceType::Scatter)->defaultContainerName();
        menuEntry(second->newContainerMenu(), "2D")->trigger();
        const QStringList names = page.containers(ResourceType::Scatter)->names();
        QCOMPARE(names.size(), 2);
        const QString created = names.at(0) == oldDefault ? names.at(1) : names.at(0);
        BaseContainerItem* item = page.containers(ResourceType::Scatter)->container(created);
        QCOMPARE(item->window(), secondName);
        QVERIFY(!item->isDefault());
        QCOMPARE(page.containers(ResourceType::Scatter)->defaultContainerName(), oldDefault);
        QCOMPARE(tabTexts(second), QStringList{created});
        QCOMPARE(second->tabs()->page(0), static_cast<QWidget*>(page.widgetOf(ResourceType::Scatter, created)));
    }

    void setAsDefaultFollowsTheTabAndCannotBeCleared()
    {
        Page page;
        WindowWidget* window = page.onlyWindow();
        const QString oldDefault = page.containers(ResourceType::Line)->defaultContainerName();
        const QString other = page.newContainer(ResourceType::Line, window);
        QTabBar* bar = window->tabs()->tabBar();
        const int otherTab = tabTexts(window).indexOf(other);

        // Exactly at (0, 0): no menu, even though a tab lies there.
        QVERIFY(bar->tabAt(QPoint(0, 0)) >= 0);
        window->requestTabContextMenu(QPoint(0, 0));
        QVERIFY(!window->tabContextMenu()->isVisible());
        QVERIFY(!window->contextContainer());

        window->requestTabContextMenu(bar->tabRect(otherTab).center());
        QVERIFY(window->tabContextMenu()->isVisible());
        QCOMPARE(window->contextContainer(), page.widgetOf(ResourceType::Line, other));
        QVERIFY(!window->setAsDefaultAction()->isChecked());
        window->tabContextMenu()->hide();
        window->setAsDefaultAction()->trigger();
        QCOMPARE(page.containers(ResourceType::Line)->defaultContainerName(), other);
        QVERIFY(page.containers(ResourceType::Line)->container(other)->isDefault());
        QVERIFY(!page.containers(ResourceType::Line)->container(oldDefault)->isDefault());

        window->requestTabContextMenu(bar->tabRect(otherTab).center());
        QVERIFY(window->setAsDefaultAction()->isChecked());
        window->tabContextMenu()->hide();
        window->setAsDefaultAction()->trigger(); // into the off state
        QVERIFY(window->setAsDefaultAction()->isChecked());
        QCOMPARE(page.containers(ResourceType::Line)->defaultContainerName(), other);

        // "Close" on the old, no longer default container closes it.
        window->requestTabContextMenu(bar->tabRect(tabTexts(window).indexOf(oldDefault)).center());
        window->tabContextMenu()->hide();
        window->closeContainerAction()->trigger();
        QVERIFY(!page.containers(ResourceType::Line)->container(oldDefault));
        QVERIFY(!tabTexts(window).contains(oldDefault));
        QVERIFY(!page.widgetOf(ResourceType::Line, oldDefault));
    }

    void clickingATabMakesItTheWindowsCurrentContainer()
    {
        Page page;
        WindowWidget* window = page.onlyWindow();
        QTabBar* bar = window->tabs()->tabBar();
        const QString scatter = page.containers(ResourceType::Scatter)->defaultContainerName();
        const int tab = tabTexts(window).indexOf(scatter);
        QSignalSpy activated(window->tabs(), &CustomTabWidget::activated);
        QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->tabRect(tab).center());
        QCOMPARE(activated.count(), 1);
        QCOMPARE(activated.first().first().toString(), scatter);
        QCOMPARE(window->windowItem()->currentContainer(), scatter);
        QCOMPARE(window->tabs()->currentPage(), static_cast<QWidget*>(page.widgetOf(ResourceType::Scatter, scatter)));
        // Stored in the tree: the same container is on top after a reload.
        QVERIFY(page.windows()->save().contains(QString("CurrentContainer=\"%1\"").arg(scatter)));
    }

    void containersMoveBetweenWindowsAndResourcesBetweenContainers()
    {
        Page page;
        WindowWidget* first = page.onlyWindow();
        first->horizontalSplitAction()->trigger();
        QString secondName;
        for (const QString& n : page.view()->windowNames())
            if (n != first->windowName())
                secondName = n;
        WindowWidget* second = page.view()->window(secondName);
        const QString line = page.containers(ResourceType::Line)->defaultContainerName();
        BaseContainerItem* lineItem = page.containers(ResourceType::Line)->container(line);
        BaseContainer* lineWidget = page.widgetOf(ResourceType::Line, line);

        lineItem->setData(BaseContainerItem::ColWindow, secondName);
        QVERIFY(!first->containers().contains(lineWidget));
        QCOMPARE(second->containers(), QList<BaseContainer*>{lineWidget});
        QVERIFY(second->isAncestorOf(lineWidget));

        // A container sent to no window is only hidden, and comes back intact.
        lineItem->setData(BaseContainerItem::ColWindow, QString());
        QVERIFY(second->containers().isEmpty());
        QVERIFY(!lineWidget->parentWidget());
        QVERIFY(!lineWidget->isVisible());
        lineItem->setData(BaseContainerItem::ColWindow, first->windowName());
        QVERIFY(first->containers().contains(lineWidget));

        auto* res = page.models->createResource(ResourceType::Line, "dev", "v");
        BaseResource* resource = page.views->resource(ResourceType::Line, "devv");
        QVERIFY(resource);
        QVERIFY(lineWidget->resources().contains(resource));
        const QString other = page.newContainer(ResourceType::Line, second);
        res->setData(BaseResourceItem::ColContainerName, other);
        QVERIFY(!lineWidget->resources().contains(resource));
        QVERIFY(page.widgetOf(ResourceType::Line, other)->resources().contains(resource));

        // A name that no container bears: out of the old one, into none.
        res->setData(BaseResourceItem::ColContainerName, QString("Line [no such]"));
        QVERIFY(!page.widgetOf(ResourceType::Line, other)->resources().contains(resource));
        QVERIFY(!lineWidget->resources().contains(resource));

        // A removed container's resources go to the default container.
        res->setData(BaseResourceItem::ColContainerName, other);
        page.containers(ResourceType::Line)->removeItem(page.containers(ResourceType::Line)->container(other));
        QCOMPARE(res->containerName(), line);
        QVERIFY(lineWidget->resources().contains(resource));
        QVERIFY(!page.widgetOf(ResourceType::Line, other));
    }

    void customTabWidgetKeepsTabsAndPagesInStep()
    {
        CustomTabWidget tabs;
        auto* a = new QLabel("a");
        auto* b = new QLabel("b");
        tabs.addPage(a, "A");
        tabs.addPage(b, QIcon(), "B", 0);
        QCOMPARE(tabs.tabBar()->tabText(0), QString("B"));
        QCOMPARE(tabs.page(0), static_cast<QWidget*>(b));
        tabs.setCurrentPage(a);
        QCOMPARE(tabs.tabBar()->currentIndex(), 1);
        QCOMPARE(tabs.currentPage(), static_cast<QWidget*>(a));
        tabs.tabBar()->setCurrentIndex(0);
        QCOMPARE(tabs.currentPage(), static_cast<QWidget*>(b));
        QLabel stranger("x");
        tabs.setCurrentPage(&stranger); // not ours: ignored
        QCOMPARE(tabs.currentPage(), static_cast<QWidget*>(b));
        tabs.removePage(b);
        QCOMPARE(tabs.count(), 1);
        QVERIFY(!b->parent());
        QCOMPARE(tabs.currentPage(), static_cast<QWidget*>(a));
        delete b;
    }
};

TALMENO_TEST_MAIN(TestLayout)
#include "tst_layout.moc"
