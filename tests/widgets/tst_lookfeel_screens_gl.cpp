// The applied look on a real display: the editor window and a sheet of every
// general icon in the normal tint, checked pixel-wise. With TALMENO_SCREENS_DIR
// set, the two pictures are also saved there for a person to look at.
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTreeWidget>
#include <QScreen>
#include <QTemporaryDir>
#include <QToolButton>

#include "foundation/ZColorSchemeManager.h"
#include "foundation/ZIconsManager.h"
#include "support/testenv.h"
#include "widgets/ZColorLabel.h"
#include "widgets/ZUiColorSchemeManager.h"

namespace {

void saveForReview(const QImage& image, const QString& name)
{
    const QString folder = qEnvironmentVariable("TALMENO_SCREENS_DIR");
    if (!folder.isEmpty())
        QVERIFY(image.save(folder + "/" + name));
}

bool close(const QColor& a, const QColor& b, int tolerance = 6)
{
    return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance
           && qAbs(a.blue() - b.blue()) <= tolerance;
}

} // namespace

class TestLookFeelScreens : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir_;
    ZColorSchemeManager* manager_ = nullptr;

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        manager_ = ZColorSchemeManager::instance(dir_.path());
        QVERIFY(manager_->copyScheme("PaperLike", "Mine"));
        QVERIFY(manager_->applyStyleSheet("PaperLike"));
    }

    void editorShowsTheSchemeColours()
    {
        ZUiColorSchemeManager editor(manager_);
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        QTest::qWait(100);
        const QImage shot = editor.grab().toImage();
        saveForReview(shot, "colorscheme_editor.png");

        const auto* scheme = manager_->schemes().first();
        for (int role = 0; role < 18; ++role) {
            const ZColorLabel* swatch = editor.swatches().at(role);
            const QPoint centre = swatch->mapTo(&editor, swatch->rect().center());
            QVERIFY2(editor.rect().contains(swatch->mapTo(&editor, swatch->rect().bottomRight())),
                     "the editor opens too small for its swatches");
            QVERIFY2(close(shot.pixelColor(centre), scheme->colors.at(role)),
                     qPrintable(QString("role %1: %2 instead of %3").arg(role)
                                    .arg(shot.pixelColor(centre).name(), scheme->colors.at(role).name())));
        }
        // Swatches are framed in the border colour, so one in the background colour still shows.
        const ZColorLabel* background = editor.swatches().at(4);
        const QPoint edge = background->mapTo(&editor, QPoint(0, background->height() / 2));
        QVERIFY2(close(shot.pixelColor(edge), QColor("#bcb9b5")), qPrintable(shot.pixelColor(edge).name()));
        // The window background is the scheme's normal background.
        QVERIFY(close(shot.pixelColor(editor.width() - 5, editor.height() - 5), QColor("#efebe7")));
    }

    void iconSheetInTheNormalTint()
    {
        QWidget sheet;
        auto* grid = new QGridLayout(&sheet);
        grid->setSpacing(2);
        QList<QToolButton*> buttons;
        const int columns = 12;
        for (int id = 0; id < ZIconsManager::generalIconCount(); ++id) {
            auto* button = new QToolButton(&sheet);
            button->setIcon(ZIconsManager::instance()->icon(id));
            button->setIconSize(QSize(32, 32));
            button->setText(QString::number(id) + " " + QFileInfo(ZIconsManager::generalIconName(id)).baseName());
            button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
            button->setFixedSize(96, 62);
            grid->addWidget(button, id / columns, id % columns);
            buttons << button;
        }
        const int row = ZIconsManager::generalIconCount() / columns + 1;
        for (int id = 0; id < ZIconsManager::toggleIconCount(); ++id) {
            for (bool on : {false, true}) {
                auto* button = new QToolButton(&sheet);
                button->setCheckable(true);
                button->setChecked(on);
                button->setIcon(ZIconsManager::instance()->toggleIcon(id));
                button->setIconSize(QSize(32, 32));
                button->setText(QString("toggle %1 %2").arg(id).arg(on ? "on" : "off"));
                button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
                button->setFixedSize(96, 62);
                grid->addWidget(button, row, id * 2 + (on ? 1 : 0));
            }
        }
        for (int id = 0; id < ZIconsManager::colorIconCount(); ++id) {
            auto* label = new QLabel(&sheet);
            label->setPixmap(ZIconsManager::instance()->colorIcon(id).pixmap(32, 32));
            label->setToolTip(ZIconsManager::colorIconName(id));
            grid->addWidget(label, row + 1 + id / columns, id % columns, Qt::AlignCenter);
        }
        sheet.show();
        QVERIFY(QTest::qWaitForWindowExposed(&sheet));
        QTest::qWait(100);
        const QImage shot = sheet.grab().toImage();
        saveForReview(shot, "icons_general_normal.png");

        // Each general icon shows strokes in the normal tint (#232323) on the
        // background, and nothing in another hue.
        const QColor tint("#232323");
        for (QToolButton* button : qAsConst(buttons)) {
            const QRect iconArea(button->mapTo(&sheet, QPoint((button->width() - 32) / 2, 4)), QSize(32, 32));
            int strokes = 0;
            for (int y = iconArea.top(); y <= iconArea.bottom(); ++y) {
                for (int x = iconArea.left(); x <= iconArea.right(); ++x) {
                    const QColor c = shot.pixelColor(x, y);
                    if (close(c, tint, 12))
                        ++strokes;
                    // Anti-aliased edges blend tint and background: grey, never coloured.
                    QVERIFY2(qAbs(c.red() - c.green()) < 24 && qAbs(c.green() - c.blue()) < 30,
                             qPrintable(button->text() + " " + c.name()));
                }
            }
            QVERIFY2(strokes > 8, qPrintable(button->text()));
        }
    }

    // Common controls under the applied sheet: the indicators are the tinted
    // internal pictures (checked ones in the pressed-or-checked tint).
    void styleGallery()
    {
        QWidget gallery;
        auto* grid = new QGridLayout(&gallery);
        auto* checked = new QCheckBox("Checked", &gallery);
        checked->setChecked(true);
        auto* unchecked = new QCheckBox("Unchecked", &gallery);
        auto* partial = new QCheckBox("Partial", &gallery);
        partial->setTristate(true);
        partial->setCheckState(Qt::PartiallyChecked);
        auto* disabled = new QCheckBox("Disabled", &gallery);
        disabled->setEnabled(false);
        auto* radioOn = new QRadioButton("Radio on", &gallery);
        radioOn->setChecked(true);
        auto* radioOff = new QRadioButton("Radio off", &gallery);
        grid->addWidget(checked, 0, 0);
        grid->addWidget(unchecked, 1, 0);
        grid->addWidget(partial, 2, 0);
        grid->addWidget(disabled, 3, 0);
        grid->addWidget(radioOn, 4, 0);
        grid->addWidget(radioOff, 5, 0);
        auto* combo = new QComboBox(&gallery);
        combo->addItems({"PaperLike", "Mine"});
        grid->addWidget(combo, 0, 1);
        auto* spin = new QSpinBox(&gallery);
        spin->setValue(42);
        grid->addWidget(spin, 1, 1);
        grid->addWidget(new QLineEdit("line edit", &gallery), 2, 1);
        auto* button = new QPushButton("Push", &gallery);
        grid->addWidget(button, 3, 1);
        auto* off = new QPushButton("Disabled", &gallery);
        off->setEnabled(false);
        grid->addWidget(off, 4, 1);
        auto* slider = new QSlider(Qt::Horizontal, &gallery);
        slider->setValue(40);
        grid->addWidget(slider, 5, 1);
        auto* progress = new QProgressBar(&gallery);
        progress->setValue(60);
        grid->addWidget(progress, 6, 0, 1, 2);
        auto* tabs = new QTabWidget(&gallery);
        auto* table = new QTableWidget(6, 3, tabs);
        table->setHorizontalHeaderLabels({"Name", "Value", "Unit"});
        for (int r = 0; r < 6; ++r)
            table->setItem(r, 0, new QTableWidgetItem(QString("row %1").arg(r)));
        table->selectRow(1);
        tabs->addTab(table, "Table");
        auto* tree = new QTreeWidget(tabs);
        tabs->addTab(tree, "Tree");
        tabs->setFixedSize(330, 200);
        grid->addWidget(tabs, 0, 2, 7, 1);
        auto* group = new QGroupBox("Group", &gallery);
        group->setCheckable(true);
        auto* inner = new QVBoxLayout(group);
        inner->addWidget(new QLabel("thin line below", group));
        auto* line = new QFrame(group);
        line->setFixedHeight(3);
        line->setProperty("height", "3");
        inner->addWidget(line);
        grid->addWidget(group, 0, 3, 3, 1);
        auto* treeOpen = new QTreeWidget(&gallery);
        treeOpen->setHeaderHidden(true);
        auto* parent = new QTreeWidgetItem(treeOpen, {"open branch"});
        new QTreeWidgetItem(parent, {"child"});
        new QTreeWidgetItem(new QTreeWidgetItem(treeOpen, {"closed branch"}), {"hidden"});
        parent->setExpanded(true);
        treeOpen->setFixedSize(170, 90);
        grid->addWidget(treeOpen, 3, 3, 4, 1);
        gallery.show();
        QVERIFY(QTest::qWaitForWindowExposed(&gallery));
        QTest::qWait(100);
        const QImage shot = gallery.grab().toImage();
        saveForReview(shot, "style_gallery.png");

        auto countNear = [&shot, &gallery](QWidget* widget, const QColor& colour) {
            const QRect area(widget->mapTo(&gallery, QPoint(0, 0)), QSize(24, widget->height()));
            int n = 0;
            for (int y = area.top(); y <= area.bottom(); ++y)
                for (int x = area.left(); x <= area.right(); ++x)
                    n += close(shot.pixelColor(x, y), colour, 28) ? 1 : 0;
            return n;
        };
        const QColor pressed("#0078d7");
        const QColor normal("#232323");
        const QColor dim("#bcbcbc");
        QVERIFY(countNear(checked, pressed) > 6);
        QVERIFY(countNear(radioOn, pressed) > 6);
        QCOMPARE(countNear(unchecked, pressed), 0);
        QCOMPARE(countNear(radioOff, pressed), 0);
        QVERIFY(countNear(unchecked, normal) > 6);
        QVERIFY(countNear(partial, normal) > 6);
        QVERIFY(countNear(disabled, dim) > 6);
    }

    void cleanupTestCase()
    {
        delete manager_;
    }
};

TALMENO_TEST_MAIN(TestLookFeelScreens)
#include "tst_lookfeel_screens_gl.moc"
