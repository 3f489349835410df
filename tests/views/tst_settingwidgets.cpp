#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QScrollArea>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

#include "helpers/ChartTestSupport.h"
#include "model/BaseModel.h"
#include "support/testenv.h"
#include "views/ChartResourceSettingWidget.h"
#include "views/ScatterMarkerNames.h"
#include "views/ViewHooks.h"
#include "widgets/ZColorLabel.h"
#include "widgets/ZColorTextLabel.h"
#include "widgets/ZPopupShadowWindow.h"

using namespace charts_test;

class TestSettingWidgets : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        ViewHooks::setOpenFileHook({});
    }

    void lineWidgetFollowsItemAndWritesBack()
    {
        auto item = lineItem("range");
        item->setData(0, "Vexa");
        LineResourceSettingWidget w(item.get());
        w.refreshAll();
        QVERIFY(!w.isPopupBuilt()); // built when first asked for, with the item's values then
        item->setData(7, 3);
        QCOMPARE(w.nameLabel()->text(), QString("range"));
        QCOMPARE(w.belongLabel()->text(), QString("Vexa"));
        QVERIFY(w.isPopupBuilt());
        QCOMPARE(w.nameLabel()->color(), QColor(109, 95, 213));
        QCOMPARE(w.colorSwatch()->color(), QColor(109, 95, 213));
        QVERIFY(w.visibleCheckBox()->isChecked());
        QCOMPARE(w.widthBox()->value(), 3);
        QCOMPARE(w.widthBox()->prefix(), QString("Line Width: "));

        // Control -> item, once; the echo back changes nothing.
        ColumnSpy widthChanges(item.get(), 7);
        w.widthBox()->setValue(5);
        emit w.widthBox()->editingFinished();
        QCOMPARE(item->lineRecord()->Width, 5);
        QCOMPARE(widthChanges.count(), 1);
        emit w.widthBox()->editingFinished();
        QCOMPARE(widthChanges.count(), 1);

        // Item -> control.
        item->setData(7, 9);
        QCOMPARE(w.widthBox()->value(), 9);

        // The newest value, left-aligned in 12 characters, 6 significant digits:
        // written at once when shown, the next ones at most every 30 ms, always
        // ending on the newest.
        w.show();
        QTest::qWait(LineResourceSettingWidget::kValueIntervalMs + 10);
        item->setData(6, 3.14159265);
        QCOMPARE(w.valueLabel()->text(), QString("3.14159     "));
        item->setData(6, 7.0);
        item->setData(6, -12345678.0);
        QTRY_COMPARE(w.valueLabel()->text(), QString("-1.23457e+07"));

        // Not written while nobody can see it; shown again, it has the newest value.
        w.hide();
        QTest::qWait(LineResourceSettingWidget::kValueIntervalMs + 10);
        item->setData(6, 2.5);
        QCOMPARE(w.valueLabel()->text(), QString("-1.23457e+07"));
        w.show();
        QCOMPARE(w.valueLabel()->text(), QString("2.5         "));
        w.hide();

        // The colour swatch writes the colour; a colour change elsewhere recolours the name.
        w.colorSwatch()->setColor(QColor(255, 85, 0));
        QCOMPARE(item->data(5, Qt::DisplayRole).toString(), QString("#ff5500"));
        item->setData(5, "#209fdf");
        QCOMPARE(w.nameLabel()->color(), QColor(32, 159, 223));
        QCOMPARE(w.colorSwatch()->color(), QColor(32, 159, 223));
    }

    void visibilityBothWays()
    {
        auto item = lineItem("v");
        LineResourceSettingWidget w(item.get());
        w.refreshAll();
        w.visibleCheckBox()->click();
        QCOMPARE(item->isVisible(), false);
        item->setData(4, true);
        QVERIFY(w.visibleCheckBox()->isChecked());
        item->setData(4, false);
        QVERIFY(!w.visibleCheckBox()->isChecked());
    }

    void scatter3DShowsPercentOfFractions()
    {
        auto item = scatter3DItem("tag");
        Scatter3DResourceSettingWidget w(item.get());
        w.refreshAll();
        QCOMPARE(w.markerSizeBox()->text(), QString("Marker Size: 20.0 %"));
        QCOMPARE(w.trackWidthBox()->text(), QString("Track Width: 10.0 %"));
        QCOMPARE(w.markerTypeBox()->currentText(), QString("Airplane"));
        QCOMPARE(w.trackLengthBox()->value(), 500);
        QVERIFY(w.markerBox()->isChecked());
        QVERIFY(w.scatterTrackBox()->isChecked());

        ColumnSpy sizeChanges(item.get(), 10);
        w.markerSizeBox()->setValue(35.5);
        emit w.markerSizeBox()->editingFinished();
        QVERIFY(qAbs(item->scatter3DRecord()->MarkerSize - 0.355f) < 1e-6f);
        QCOMPARE(sizeChanges.count(), 1);
        QCOMPARE(w.markerSizeBox()->text(), QString("Marker Size: 35.5 %"));

        w.trackWidthBox()->setValue(2.5);
        emit w.trackWidthBox()->editingFinished();
        QVERIFY(qAbs(item->scatter3DRecord()->TrackWidth - 0.025f) < 1e-6f);

        w.markerTypeBox()->setCurrentIndex(0);
        emit w.markerTypeBox()->activated(0);
        QCOMPARE(item->scatter3DRecord()->MarkerType, 0);
        item->setData(9, 1);
        QCOMPARE(w.markerTypeBox()->currentIndex(), 1);

        w.scatterTrackBox()->click();
        QCOMPARE(item->scatter3DRecord()->ShowScatterTrack, false);
        item->setData(12, 42);
        QCOMPARE(w.trackLengthBox()->value(), 42);
    }

    void scatterCustomizeCancelKeepsType()
    {
        auto item = scatterItem("anchor");
        item->setData(10, 1);
        ScatterResourceSettingWidget w(item.get());
        w.refreshAll();
        QCOMPARE(w.markerTypeBox()->count(), 3);
        QCOMPARE(w.markerTypeBox()->itemText(2), scatterMarkerNames().at(2));
        QCOMPARE(w.markerTypeBox()->currentIndex(), 1);
        QVERIFY(!w.pictureButton()->isEnabled());

        int dialogs = 0;
        QString askedFilter, askedTitle;
        ViewHooks::setOpenFileHook([&](QWidget*, const QString& title, const QString&, const QString& filter) {
            ++dialogs;
            askedFilter = filter;
            askedTitle = title;
            return QString(); // cancelled
        });
        w.markerTypeBox()->setCurrentIndex(2);
        emit w.markerTypeBox()->activated(2);
        QCOMPARE(dialogs, 1);
        QCOMPARE(askedFilter, QString("image files (*.bmp *.jpg *.jpeg *.png)"));
        QCOMPARE(askedTitle, QString("Open File"));
        QCOMPARE(item->scatterRecord()->MarkerType, 1);
        // The box shows what the item holds, not the cancelled choice.
        QCOMPARE(w.markerTypeBox()->currentIndex(), 1);
        QVERIFY(!w.pictureButton()->isEnabled());
    }

    void scatterCustomizeWithPicture()
    {
        QTemporaryDir dir;
        const QString png = dir.filePath("marker.png");
        QImage img(8, 8, QImage::Format_ARGB32);
        img.fill(Qt::red);
        QVERIFY(img.save(png));

        auto item = scatterItem("anchor");
        ScatterResourceSettingWidget w(item.get());
        w.refreshAll();
        ViewHooks::setOpenFileHook([&](QWidget*, const QString&, const QString&, const QString&) { return png; });
        emit w.markerTypeBox()->activated(2);
        QCOMPARE(item->scatterRecord()->MarkerType, 2);
        QCOMPARE(item->scatterRecord()->MarkerFilePath, png);
        QVERIFY(w.pictureButton()->isEnabled());
        QVERIFY(!w.pictureButton()->icon().isNull());

        // With a picture already chosen, "Customize" asks no more.
        item->setData(10, 0);
        QVERIFY(!w.pictureButton()->isEnabled());
        int dialogs = 0;
        ViewHooks::setOpenFileHook([&](QWidget*, const QString&, const QString&, const QString&) {
            ++dialogs;
            return QString();
        });
        emit w.markerTypeBox()->activated(2);
        QCOMPARE(dialogs, 0);
        QCOMPARE(item->scatterRecord()->MarkerType, 2);
    }

    void scatterControlsWriteTheirColumns()
    {
        auto item = scatterItem("s");
        ScatterResourceSettingWidget w(item.get());
        w.refreshAll();
        QVERIFY(w.markerBox()->isChecked());
        QVERIFY(w.lineTrackBox()->isChecked());
        QVERIFY(!w.scatterTrackBox()->isChecked());
        QVERIFY(w.nameLabelBox()->isChecked());
        QVERIFY(!w.positionLabelBox()->isChecked());
        QCOMPARE(w.markerSizeBox()->value(), 30);
        QCOMPARE(w.trackWidthBox()->value(), 5);
        QCOMPARE(w.trackLengthBox()->value(), 500);

        w.scatterTrackBox()->click();
        w.positionLabelBox()->click();
        w.lineTrackBox()->click();
        QCOMPARE(item->scatterRecord()->ShowScatterTrack, true);
        QCOMPARE(item->scatterRecord()->ShowCoordinate, true);
        QCOMPARE(item->scatterRecord()->ShowLineTrack, false);
        w.trackLengthBox()->setValue(77);
        emit w.trackLengthBox()->editingFinished();
        QCOMPARE(item->scatterRecord()->TrackLength, 77);
        item->setData(12, 12);
        QCOMPARE(w.markerSizeBox()->value(), 12);
        item->setData(13, false);
        QVERIFY(!w.nameLabelBox()->isChecked());
    }

    void rightClickOffersContainersWithoutMoving()
    {
        QList<QStringList> moves; // outlives the model, which announces moves while it goes
        BaseResourceModel model(new LineResourceItemFactory);
        model.setAvailableContainerNamesFunction([] { return QStringList{"Line [01]", "Line [02]"}; });
        model.setDefaultContainerNameFunction([] { return QString("Line [01]"); });
        auto* item = static_cast<LineResourceItem*>(model.createItem(nullptr));
        QVERIFY(item);
        item->setData(1, "dist");
        item->setData(3, "Line [02]");
        item->setUsed(true);
        QCOMPARE(item->containerName(), QString("Line [02]"));

        connect(&model, &BaseResourceModel::itemMoved, this,
                [&](QString r, QString from, QString to) { moves << QStringList{r, from, to}; });

        LineResourceSettingWidget w(item);
        w.refreshAll();
        w.show();
        QTest::mouseClick(&w, Qt::RightButton);
        QTRY_VERIFY(w.popup()->isVisible());
        QCOMPARE(w.containerBox()->count(), 2);
        QCOMPARE(w.containerBox()->currentText(), QString("Line [02]"));
        QVERIFY(moves.isEmpty());

        w.containerBox()->setCurrentIndex(0);
        QCOMPARE(item->containerName(), QString("Line [01]"));
        QCOMPARE(moves.size(), 1);
        QCOMPARE(moves.first(), (QStringList{"dist", "Line [02]", "Line [01]"}));

        // A second right click refills without moving the series again.
        QTest::mouseClick(&w, Qt::RightButton);
        QCOMPARE(moves.size(), 1);
        QCOMPARE(w.containerBox()->currentText(), QString("Line [01]"));
    }

    void doubleClickEmitsFocused()
    {
        auto item = attitudeItem("att");
        AttitudeResourceSettingWidget w(item.get());
        QSignalSpy spy(&w, &ChartResourceSettingWidget::focused);
        QTest::mouseDClick(&w, Qt::LeftButton);
        QCOMPARE(spy.count(), 1);
        QTest::mouseDClick(&w, Qt::RightButton);
        QCOMPARE(spy.count(), 1);
    }

    void attitudeShowsOnlyCommonControls()
    {
        auto item = attitudeItem("att");
        AttitudeResourceSettingWidget w(item.get());
        w.refreshAll();
        auto* scroll = w.popup()->findChild<QScrollArea*>();
        QVERIFY(scroll);
        QCOMPARE(scroll->widget()->layout()->count(), 3);
        item->setData(6, QVariant::fromValue(QVector3D(1, 2, 3)));
        QCOMPARE(w.nameLabel()->text(), QString("att"));
    }
};

TALMENO_TEST_MAIN(TestSettingWidgets)
#include "tst_settingwidgets.moc"
