#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTranslator>
#include <QTreeView>
#include <QAbstractProxyModel>
#include <QHeaderView>
#include <QtCharts/QLineSeries>
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
#include "views/CustomTabWidget.h"
#include "views/LineResource.h"
#include "views/ViewManager.h"
#include "views/WindowLayout.h"

namespace {

struct Page
{
    QTemporaryDir dir;
    std::unique_ptr<ModelManager> models;
    std::unique_ptr<ViewManager> views;

    explicit Page(const QList<ResourceType>& types)
    {
        models.reset(new ModelManager(dir.filePath("page.ini"), types));
        views.reset(new ViewManager(models.get()));
        models->loadSettings();
    }
    ~Page()
    {
        models.reset();
        views.reset();
    }
    LineResourceItem* line(const QString& name)
    {
        return qobject_cast<LineResourceItem*>(models->createResource(ResourceType::Line, "dev", name));
    }
    int points(const QString& name) const
    {
        auto* r = qobject_cast<LineResource*>(views->resource(ResourceType::Line, "dev" + name));
        return r ? r->series()->count() : -1;
    }
};

void writeValues(BaseResourceItem* item, int count)
{
    for (int i = 0; i < count; ++i)
        item->setData(BaseResourceItem::ColValue, double(i) + 0.5);
}

} // namespace

class TestViewManager : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        initUserDataFolders();
        ZThreadManager::instance();
        LayoutHooks::setInformationHook([](QWidget*, const QString&, const QString&) {});
    }

    void managementWindowShowsTreeAndOneTablePerModel()
    {
        Page page({ResourceType::Scatter, ResourceType::Line});
        ViewManager* vm = page.views.get();
        QVERIFY(vm->isWindow());
        CustomTabWidget* tabs = vm->managementTabs();
        QStringList titles;
        for (int i = 0; i < tabs->tabBar()->count(); ++i)
            titles << tabs->tabBar()->tabText(i);
        QCOMPARE(titles, (QStringList{"Window", "Container", "Resource"}));
        auto* shown = qobject_cast<QAbstractProxyModel*>(vm->windowTree()->model());
        QVERIFY(shown);
        QCOMPARE(shown->sourceModel(), static_cast<QAbstractItemModel*>(page.models->windowModel()));
        QCOMPARE(vm->activateButton()->text(), QString("Activate"));

        // Ascending type order whatever the order of the needed types.
        for (QTabWidget* tables : {vm->containerTables(), vm->resourceTables()}) {
            QCOMPARE(tables->count(), 2);
            QCOMPARE(tables->tabText(0), QString("Line"));
            QCOMPARE(tables->tabText(1), QString("2D"));
        }
        auto* lineContainers = qobject_cast<QTableView*>(vm->containerTables()->widget(0));
        QCOMPARE(lineContainers->model(),
                 static_cast<QAbstractItemModel*>(page.models->containerModel(ResourceType::Line)));
        auto* scatterResources = qobject_cast<QTableView*>(vm->resourceTables()->widget(1));
        QCOMPARE(scatterResources->model(),
                 static_cast<QAbstractItemModel*>(page.models->resourceModel(ResourceType::Scatter)));
        // The window area is a separate widget, for the page stack.
        QVERIFY(vm->windowView() && !vm->isAncestorOf(vm->windowView()));
    }

    // The window tree names its types and orientations, its headers follow the
    // interface language, and the window opens wide enough to show them whole.
    void windowTreeShowsNamesAndWholeHeaders_data()
    {
        QTest::addColumn<QString>("translation");
        QTest::addColumn<QStringList>("expected"); // headers, then the two rows' type and orientation
        QTest::newRow("English") << QString()
                                 << QStringList{"Type", "Name", "Orientation", "CurrentContainer", "Window",
                                                "Vertical", "Splitter", "Vertical"};
        QTest::newRow("Chinese") << ":/translations/language_zh.qm"
                                 << QString::fromUtf8("类型 名称 方向 当前容器 窗口 垂直 分割器 垂直").split(' ');
    }

    void windowTreeShowsNamesAndWholeHeaders()
    {
        QFETCH(QString, translation);
        QFETCH(QStringList, expected);
        QTranslator translator;
        QVERIFY(translation.isEmpty() || translator.load(translation));
        QCoreApplication::installTranslator(&translator);
        struct Uninstall
        {
            QTranslator* t;
            ~Uninstall() { QCoreApplication::removeTranslator(t); }
        } uninstall{&translator}; // for the whole check, as in the program
        Page page({ResourceType::Line, ResourceType::Scatter});
        page.models->windowModel()->addNew(nullptr, WindowItem::Splitter);
        page.views->show();
        QVERIFY(QTest::qWaitForWindowExposed(page.views.get()));
        QTreeView* tree = page.views->windowTree();
        QAbstractItemModel* shown = tree->model();
        QStringList texts;
        for (int c = 0; c < 4; ++c)
            texts << shown->headerData(c, Qt::Horizontal).toString();
        for (int r = 0; r < 2; ++r)
            texts << shown->index(r, WindowItem::ColType).data().toString()
                  << shown->index(r, WindowItem::ColOrientation).data().toString();
        QCOMPARE(texts, expected);
        // Edits and storage still see the numbers.
        QCOMPARE(shown->index(1, WindowItem::ColType).data(Qt::EditRole).toInt(), int(WindowItem::Splitter));
        for (int c = 0; c < 4; ++c) {
            int needed = tree->header()->fontMetrics().horizontalAdvance(texts.at(c));
            for (int r = 0; r < 2; ++r)
                needed = qMax(needed, tree->fontMetrics().horizontalAdvance(shown->index(r, c).data().toString()));
            QVERIFY2(tree->header()->sectionSize(c) >= needed, qPrintable(texts.at(c)));
        }
        QVERIFY(tree->viewport()->width() >= tree->header()->length());
    }

    void containersAndResourcesFollowTheModels()
    {
        Page page({ResourceType::Line});
        BaseContainerModel* containers = page.models->containerModel(ResourceType::Line);
        const QString first = containers->defaultContainerName();
        QCOMPARE(page.views->containerNames(ResourceType::Line), QStringList{first});

        LineResourceItem* a = page.line("a");
        QVERIFY(a);
        QCOMPARE(page.views->resourceNames(ResourceType::Line), QStringList{"deva"});
        BaseResource* resource = page.views->resource(ResourceType::Line, "deva");
        QVERIFY(page.views->container(ResourceType::Line, first)->resources().contains(resource));

        // Not used: no object until used.
        auto* unused = page.models->createResource(ResourceType::Line, "dev", "idle", false);
        QVERIFY(unused);
        QVERIFY(!page.views->resource(ResourceType::Line, "devidle"));

        // Used again: the same object stays in its place.
        page.models->createResource(ResourceType::Line, "dev", "a");
        QCOMPARE(page.views->resource(ResourceType::Line, "deva"), resource);

        QPointer<BaseResource> guard(resource);
        page.models->resourceModel(ResourceType::Line)->removeItem(a);
        QVERIFY(!guard);
        QVERIFY(page.views->resourceNames(ResourceType::Line).isEmpty());

        QPointer<BaseContainer> widget = page.views->container(ResourceType::Line, first);
        containers->removeItem(containers->container(first));
        QVERIFY(!widget);
        QVERIFY(page.views->containerNames(ResourceType::Line).isEmpty());
    }

    void newContainerBecomesDefaultOnlyWhenAlone()
    {
        Page page({ResourceType::Line});
        BaseContainerModel* containers = page.models->containerModel(ResourceType::Line);
        const QString window = page.models->windowModel()->windowNames().first();
        const QString first = containers->defaultContainerName();
        LineResourceItem* a = page.line("a");

        page.views->createContainerInWindow(ResourceType::Line, window);
        QCOMPARE(containers->names().size(), 2);
        QCOMPARE(containers->defaultContainerName(), first);

        // The default goes with its resource: the resource is left without a container.
        for (const QString& name : containers->names())
            containers->removeItem(containers->container(name));
        QVERIFY(a->containerName().isEmpty());
        page.views->createContainerInWindow(ResourceType::Line, window);
        QCOMPARE(containers->names().size(), 1);
        const QString alone = containers->names().first();
        QCOMPARE(containers->defaultContainerName(), alone);
        QCOMPARE(containers->container(alone)->window(), window);
        QVERIFY(page.views->windowView()->window(window)->containers().contains(
            page.views->container(ResourceType::Line, alone)));

        // "Activate" gives the orphan the first container of its type.
        QVERIFY(a->containerName().isEmpty());
        page.views->activateButton()->click();
        QCOMPARE(a->containerName(), alone);
        QVERIFY(page.views->container(ResourceType::Line, alone)->resources().contains(
            page.views->resource(ResourceType::Line, "deva")));
    }

    void refusedContainerAndMissingResourceAreSkipped()
    {
        Page page({ResourceType::Data, ResourceType::Line});
        BaseContainerModel* containers = page.models->containerModel(ResourceType::Data);
        const QString window = page.models->windowModel()->windowNames().first();
        while (containers->names().size() < BaseContainerModel::MaxContainers)
            page.views->createContainerInWindow(ResourceType::Data, window);
        QCOMPARE(page.views->containerNames(ResourceType::Data).size(), BaseContainerModel::MaxContainers);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("container count > 100"));
        page.views->createContainerInWindow(ResourceType::Data, window);
        QCOMPARE(containers->names().size(), BaseContainerModel::MaxContainers);
        QCOMPARE(page.views->containerNames(ResourceType::Data).size(), BaseContainerModel::MaxContainers);

        // A move announced for a resource without object reaches no container.
        const QString line = page.models->containerModel(ResourceType::Line)->defaultContainerName();
        page.line("a");
        BaseContainer* target = page.views->container(ResourceType::Line, line);
        const int before = target->resources().size();
        emit page.models->resourceMoved(ResourceType::Line, "devghost", QString(), line);
        QCOMPARE(target->resources().size(), before);
        QVERIFY(!target->resources().contains(nullptr));

        QTest::ignoreMessage(QtCriticalMsg, QRegularExpression("try to delete container not existed: 1 nope$"));
        emit page.models->containerDeleted(ResourceType::Line, "nope");
        QCOMPARE(page.views->containerNames(ResourceType::Line), QStringList{line});
    }

    void passesVisitOnlyVisibleChangedItemsOfTheirTypes()
    {
        Page page({ResourceType::Data, ResourceType::Line});
        LineResourceItem* shown = page.line("shown");
        LineResourceItem* hidden = page.line("hidden");
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("data resource without a view factory"));
        BaseResourceItem* table = page.models->createResource(ResourceType::Data, "dev", "table");
        QVERIFY(table && page.views->resource(ResourceType::Data, "devtable"));

        writeValues(shown, 3);
        writeValues(hidden, 4);
        hidden->setData(BaseResourceItem::ColVisible, false);
        table->setDirty(true);

        page.views->refreshChartResources();
        QCOMPARE(page.points("shown"), 3);
        QVERIFY(!shown->isDirty());
        // Hidden: untouched, and still owed a redraw.
        QCOMPARE(page.points("hidden"), 0);
        QVERIFY(hidden->isDirty());
        // The chart pass leaves Data resources to the data pass.
        QVERIFY(table->isDirty());

        // Nothing changed: the next pass copies nothing.
        auto* series = qobject_cast<LineResource*>(page.views->resource(ResourceType::Line, "devshown"))->series();
        series->clear();
        page.views->refreshChartResources();
        QCOMPARE(series->count(), 0);

        hidden->setData(BaseResourceItem::ColVisible, true);
        page.views->refreshChartResources();
        QCOMPARE(page.points("hidden"), 4);
        QVERIFY(!hidden->isDirty());

        page.views->refreshDataResources();
        QVERIFY(!table->isDirty());
        table->setData(BaseResourceItem::ColVisible, false);
        table->setDirty(true);
        page.views->refreshDataResources();
        QVERIFY(table->isDirty());
        // The data pass leaves chart resources alone.
        writeValues(shown, 1);
        page.views->refreshDataResources();
        QVERIFY(shown->isDirty());
    }

    void newWindowGoesToTheEndOfTheRoot()
    {
        Page page({ResourceType::Line});
        WindowView* view = page.views->windowView();
        QCOMPARE(view->rootLayout()->count(), 1);
        page.views->addNewWindow();
        QCOMPARE(view->windowNames().size(), 2);
        QCOMPARE(view->rootLayout()->count(), 2);
        WindowItem* root = page.models->windowModel()->root();
        QCOMPARE(root->children().size(), 2);
        QCOMPARE(root->children().last()->type(), WindowItem::Window);
        QCOMPARE(view->rootLayout()->itemAt(1)->widget(),
                 static_cast<QWidget*>(view->window(root->children().last()->name())));
    }
};

TALMENO_TEST_MAIN(TestViewManager)
#include "tst_viewmanager.moc"
