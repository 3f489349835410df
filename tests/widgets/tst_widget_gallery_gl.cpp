// Renders one window holding every kind of common widget on a real X server and keeps
// the picture, so the look can be inspected; checks that the pieces really render.
#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QStackedWidget>
#include <QCheckBox>

#include "support/testenv.h"

#include "model/ResourceItems.h"
#include "widgets/DataWidgetBase.h"
#include "widgets/FixedSplitter.h"
#include "widgets/LineStatisticWidget.h"
#include "widgets/WidgetIndicator.h"
#include "widgets/ZBoldLabel.h"
#include "widgets/ZButtonTextEditable.h"
#include "widgets/ZColorTextLabel.h"
#include "widgets/ZComboBoxEditable.h"
#include "widgets/ZFlowLayout.h"
#include "widgets/ZLabel.h"
#include "widgets/ZMainWindow.h"
#include "widgets/ZMultiPageWidget.h"
#include "widgets/ZPopupShadowWindow.h"
#include "widgets/ZWidgetHelpers.h"

namespace {

class GalleryPage : public DataWidgetBase
{
public:
    using DataWidgetBase::DataWidgetBase;
    void refresh() override {}
};

class NotePageFactory : public ZIPageFactory
{
public:
    QWidget* createPage(QWidget* parent) override { return new QLabel(QStringLiteral("page content"), parent); }
};

// Counts pixels close to pure red inside a rectangle of the image.
int reddish(const QImage& image, const QRect& rect)
{
    int n = 0;
    const QRect r = rect.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() > 180 && c.green() < 90 && c.blue() < 90)
                ++n;
        }
    return n;
}

QRect onScreen(const QWidget* w)
{
    return QRect(w->mapToGlobal(QPoint(0, 0)), w->size());
}

} // namespace

class TestWidgetGallery : public QObject
{
    Q_OBJECT

private slots:
    void gallery()
    {
        ZMainWindow window;
        window.setWindowTitle(QStringLiteral("Common widgets"));
        window.toolBar()->addAction(QStringLiteral("Tool"));
        auto* grid = new QGridLayout(window.centralWidget());

        auto* plain = new ZLabel(QStringLiteral("plain:"), nullptr, 8);
        plain->setValue(QStringLiteral("12.5"));
        auto* changed = new ZLabel(QStringLiteral("changed:"), nullptr, 8);
        changed->setHighlightChanges(true);
        changed->setValue(QStringLiteral("88888888"));
        grid->addWidget(plain, 0, 0);
        grid->addWidget(changed, 0, 1);
        grid->addWidget(new ZBoldLabel(QStringLiteral("Bold heading")), 1, 0);
        grid->addWidget(new ZColorTextLabel(QStringLiteral("coloured status"), QColor(0, 120, 255)), 1, 1);
        grid->addWidget(createHLine(), 2, 0, 1, 2);

        auto* rates = new ZComboBoxEditable;
        rates->addItems({QStringLiteral("9600"), QStringLiteral("115200"), QStringLiteral("921600")});
        grid->addWidget(rates, 3, 0);
        grid->addWidget(new ZButtonTextEditable(QStringLiteral("Send")), 3, 1);

        auto* off = new WidgetIndicator;
        auto* on = new WidgetIndicator;
        on->setState(true);
        auto* lights = new QWidget;
        auto* lightsLayout = new QHBoxLayout(lights);
        lightsLayout->addWidget(off);
        lightsLayout->addWidget(createVLine());
        lightsLayout->addWidget(on);
        grid->addWidget(lights, 4, 0);

        auto* flowHost = new QWidget;
        auto* flow = new ZFlowLayout(flowHost, 2, 4, 4);
        for (int key : {5, 1, 3, 2, 4})
            flow->addWidget(key, new QLabel(QStringLiteral("[box %1]").arg(key)));
        grid->addWidget(flowHost, 4, 1);

        auto* pages = new ZMultiPageWidget(new NotePageFactory);
        pages->addNewPage(QStringLiteral("first"));
        pages->addNewPage(QStringLiteral("second"));
        grid->addWidget(pages, 5, 0);

        auto* splitter = new FixedSplitter(Qt::Horizontal);
        splitter->addWidget(new QLabel(QStringLiteral("left pane")));
        splitter->addWidget(new QLabel(QStringLiteral("right pane")));
        grid->addWidget(splitter, 5, 1);

        auto* record = new LineResourceItem::Data;
        record->Name = QStringLiteral("distance");
        LineResourceItem item(record, nullptr);
        for (double v : {1.0, 2.0, 3.0, 4.0})
            item.setData(BaseResourceItem::ColValue, v);
        LineResourceCollector collector;
        collector.addItem(&item);
        auto* page = new GalleryPage(&collector);
        LineStatisticWidget* row = page->statisticRow(0);
        row->checkBox()->setChecked(true);
        row->targetEdit()->setText(QStringLiteral("2"));
        emit row->targetEdit()->editingFinished();
        page->updateStatistics();
        page->setMinimumHeight(120);
        page->findChild<FixedSplitter*>()->setSizes({850, 150});
        grid->addWidget(page, 6, 0, 1, 2);
        grid->setRowStretch(6, 1);

        window.resize(1100, 640);
        window.move(20, 20);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        ZPopupShadowWindow popup;
        popup.contentLayout()->addWidget(new QLabel(QStringLiteral("popup with shadow")));
        QCursor::setPos(QPoint(700, 720));
        popup.popupAtCursor();
        QVERIFY(QTest::qWaitForWindowExposed(&popup));
        QTest::qWait(300);

        const QImage shot = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
        QVERIFY(!shot.isNull());
        const QString dir = qEnvironmentVariable("TALMENO_BINARY_DIR", QDir::tempPath()) + QStringLiteral("/screenshots");
        QDir().mkpath(dir);
        QVERIFY(shot.save(dir + QStringLiteral("/common_widgets.png")));

        // The highlighted value is drawn in red, the plain one is not.
        QVERIFY(reddish(shot, onScreen(changed->valueLabel())) > 10);
        QCOMPARE(reddish(shot, onScreen(plain->valueLabel())), 0);
        // The two indicator states look different on screen.
        QVERIFY(shot.copy(onScreen(off)) != shot.copy(onScreen(on)));
        QCOMPARE(row->meanLabel()->text(), QStringLiteral("2.5"));
    }
};

TALMENO_TEST_MAIN(TestWidgetGallery)
#include "tst_widget_gallery_gl.moc"
