// The colour scheme editor window: selection, the modified flag and its question,
// copy, delete and apply, with the manager's list and the user's file behind it.
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>

#include "foundation/ZColorSchemeManager.h"
#include "support/testenv.h"
#include "widgets/ZColorLabel.h"
#include "widgets/ZUiColorSchemeManager.h"

namespace {

QStringList boxItems(const QComboBox* box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

QStringList schemeNames(const ZColorSchemeManager* manager)
{
    QStringList names;
    for (const ZColorSchemeManager::Scheme* scheme : manager->schemes())
        names << scheme->name;
    return names;
}

QVector<QColor> swatchColours(const ZUiColorSchemeManager& editor)
{
    QVector<QColor> colours;
    for (const ZColorLabel* swatch : editor.swatches())
        colours << swatch->color();
    return colours;
}

} // namespace

class TestLookFeelEditor : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir_;
    ZColorSchemeManager* manager_ = nullptr;
    QStringList questions_;
    QMessageBox::StandardButton answer_ = QMessageBox::No;
    QStringList inputs_;
    QString inputAnswer_;
    bool inputAccepted_ = true;

    QString fileColour(const QString& scheme, int role) const
    {
        QSettings settings(manager_->userSchemeFile(), QSettings::IniFormat);
        return settings.value(scheme + "/colors/" + ZColorSchemeManager::roleKey(role)).toString();
    }

    void select(ZUiColorSchemeManager& editor, const QString& name)
    {
        const int index = editor.schemeBox()->findText(name);
        QVERIFY2(index >= 0, qPrintable(name));
        editor.schemeBox()->setCurrentIndex(index);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        manager_ = ZColorSchemeManager::instance(dir_.path());
        QVERIFY(manager_->applyStyleSheet("PaperLike"));
        QVERIFY(manager_->copyScheme("PaperLike", "Mine"));
        ZUiColorSchemeManager::questionHook = [this](QWidget*, const QString& title, const QString& text) {
            questions_ << title + "|" + text;
            return answer_;
        };
        ZUiColorSchemeManager::inputHook = [this](QWidget*, const QString& title, const QString& label,
                                                  const QString& text, bool* ok) {
            inputs_ << title + "|" + label + "|" + text;
            *ok = inputAccepted_;
            return inputAnswer_;
        };
        ZColorLabel::colorDialogHook = [](const QColor&, const QString&) { return QColor("#123456"); };
    }

    void init()
    {
        questions_.clear();
        inputs_.clear();
        answer_ = QMessageBox::No;
        inputAccepted_ = true;
    }

    void layoutAndInitialSelection()
    {
        ZUiColorSchemeManager editor(manager_);
        QCOMPARE(editor.windowTitle(), QString("Color Scheme"));
        QVERIFY(!editor.windowIcon().isNull());
        QCOMPARE(boxItems(editor.schemeBox()), (QStringList{"PaperLike", "Mine"}));
        QCOMPARE(editor.schemeBox()->currentText(), QString("PaperLike"));
        QCOMPARE(swatchColours(editor), manager_->schemes().first()->colors);
        // Shipped scheme: read-only.
        QVERIFY(!editor.deleteButton()->isEnabled());
        for (ZColorLabel* swatch : editor.swatches())
            QVERIFY(!swatch->isEnabled());
        QVERIFY(editor.copyButton()->isEnabled());
        QVERIFY(editor.applyButton()->isEnabled());
        QVERIFY(!editor.isModified());

        // Key labels and swatches in five rows, two columns per role.
        auto* grid = editor.swatches().first()->parentWidget()->findChild<QGridLayout*>();
        QVERIFY(grid);
        for (int role = 0; role < 18; ++role) {
            auto* label = qobject_cast<QLabel*>(grid->itemAtPosition(role % 5, 2 * (role / 5))->widget());
            QVERIFY(label);
            QCOMPARE(label->text(), ZColorSchemeManager::roleKey(role));
            QCOMPARE(grid->itemAtPosition(role % 5, 2 * (role / 5) + 1)->widget(), editor.swatches().at(role));
            QCOMPARE(editor.swatches().at(role)->width(), 60);
        }

        select(editor, "Mine");
        QVERIFY(editor.deleteButton()->isEnabled());
        for (ZColorLabel* swatch : editor.swatches())
            QVERIFY(swatch->isEnabled());
        QVERIFY(!editor.isModified());
        QVERIFY(questions_.isEmpty());
    }

    void discardingEditsOnNo()
    {
        ZUiColorSchemeManager editor(manager_);
        select(editor, "Mine");
        const QVector<QColor> stored = manager_->schemes().at(1)->colors;
        QVERIFY(!editor.isModified());
        editor.swatches().at(4)->setColor(QColor(1, 2, 3));
        QVERIFY(editor.isModified());
        select(editor, "PaperLike");
        QCOMPARE(questions_, QStringList{"Color Scheme Changed|The color scheme Mine was modified,do you want to save "
                                         "the changes?"});
        QCOMPARE(manager_->schemes().at(1)->colors, stored);
        QVERIFY(!editor.isModified());

        // A click on the swatch goes through the colour dialog.
        select(editor, "Mine");
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        QTest::mouseClick(editor.swatches().at(0), Qt::LeftButton);
        QCOMPARE(editor.swatches().at(0)->color(), QColor("#123456"));
        QVERIFY(editor.isModified());
        select(editor, "PaperLike");
        QCOMPARE(questions_.size(), 2);
        QCOMPARE(fileColour("Mine", 0), QString("#232323"));
        // The swatches show the selected scheme, not the discarded edit.
        QCOMPARE(swatchColours(editor), manager_->schemes().first()->colors);
    }

    void savingEditsOnYes()
    {
        ZUiColorSchemeManager editor(manager_);
        select(editor, "Mine");
        editor.swatches().at(4)->setColor(QColor("#101820"));
        answer_ = QMessageBox::Yes;
        select(editor, "PaperLike");
        QCOMPARE(questions_.size(), 1);
        QCOMPARE(manager_->schemes().at(1)->colors.at(4), QColor("#101820"));
        QCOMPARE(fileColour("Mine", 4), QString("#101820"));
        QVERIFY(manager_->schemes().first()->colors.at(4) != QColor("#101820"));
    }

    void applySavesAndApplies()
    {
        ZUiColorSchemeManager editor(manager_);
        select(editor, "Mine");
        editor.swatches().at(9)->setColor(QColor("#a1b2c3"));
        editor.applyButton()->click();
        QVERIFY(!editor.isModified());
        QCOMPARE(manager_->currentSchemeName(), QString("Mine"));
        QCOMPARE(fileColour("Mine", 9), QString("#a1b2c3"));
        QVERIFY(qApp->styleSheet().contains("#a1b2c3"));
        QCOMPARE(manager_->color(9), QColor("#a1b2c3"));
        // Not stored as the start-up choice.
        QVERIFY(!QSettings().contains("ColorScheme"));
        QVERIFY(questions_.isEmpty());
    }

    void copyFollowsTheManager()
    {
        // Run alone, it first plays the cases whose schemes it copies.
        if (manager_->currentSchemeName() != "Mine") {
            savingEditsOnYes();
            init();
            applySavesAndApplies();
            init();
        }
        ZUiColorSchemeManager editor(manager_);
        QCOMPARE(editor.schemeBox()->currentText(), QString("Mine")); // the current scheme
        // Unsaved edits are not copied; leaving them asks, answered No.
        editor.swatches().at(0)->setColor(QColor("#ff00ff"));
        inputAnswer_ = "Mine 2";
        editor.copyButton()->click();
        QCOMPARE(inputs_, QStringList{"Copy color scheme|New color scheme name:|Mine(copy)"});
        QCOMPARE(boxItems(editor.schemeBox()), (QStringList{"PaperLike", "Mine", "Mine 2"}));
        QCOMPARE(editor.schemeBox()->currentText(), QString("Mine 2"));
        QCOMPARE(questions_.size(), 1);
        QCOMPARE(manager_->schemes().at(2)->colors, manager_->schemes().at(1)->colors);
        QCOMPARE(manager_->schemes().at(2)->colors.at(0), QColor("#232323"));
        QCOMPARE(fileColour("Mine 2", 9), QString("#a1b2c3"));

        // Cancelled or empty: nothing.
        inputAccepted_ = false;
        editor.copyButton()->click();
        inputAccepted_ = true;
        inputAnswer_.clear();
        editor.copyButton()->click();
        QCOMPARE(boxItems(editor.schemeBox()), schemeNames(manager_));

        // Refused by the manager (name exists): the box gains nothing and stays aligned.
        inputAnswer_ = "PaperLike";
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("PaperLike existed"));
        editor.copyButton()->click();
        QCOMPARE(boxItems(editor.schemeBox()), schemeNames(manager_));
        QCOMPARE(editor.schemeBox()->currentText(), QString("Mine 2"));
        // So an edit applied now lands in the scheme shown.
        editor.swatches().at(4)->setColor(QColor("#223344"));
        editor.applyButton()->click();
        QCOMPARE(manager_->currentSchemeName(), QString("Mine 2"));
        QCOMPARE(fileColour("Mine 2", 4), QString("#223344"));
        QCOMPARE(fileColour("Mine", 4), QString("#101820"));
    }

    void deleteFollowsTheManager()
    {
        if (!schemeNames(manager_).contains("Mine 2")) {
            copyFollowsTheManager();
            init();
        }
        ZUiColorSchemeManager editor(manager_);
        QCOMPARE(editor.schemeBox()->currentText(), QString("Mine 2"));
        // The scheme in use is refused: the item stays.
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("deleteColorScheme 2 Mine 2 Mine 2"));
        editor.deleteButton()->click();
        QCOMPARE(boxItems(editor.schemeBox()), (QStringList{"PaperLike", "Mine", "Mine 2"}));
        QCOMPARE(boxItems(editor.schemeBox()), schemeNames(manager_));

        select(editor, "Mine");
        editor.swatches().at(1)->setColor(QColor("#999999"));
        editor.deleteButton()->click();
        QVERIFY(questions_.isEmpty()); // the pending edit goes with the scheme
        QCOMPARE(boxItems(editor.schemeBox()), (QStringList{"PaperLike", "Mine 2"}));
        QCOMPARE(schemeNames(manager_), (QStringList{"PaperLike", "Mine 2"}));
        QVERIFY(fileColour("Mine", 0).isEmpty());
        QCOMPARE(swatchColours(editor), manager_->schemes().at(editor.schemeBox()->currentIndex())->colors);

        // Internal: the button is disabled.
        select(editor, "PaperLike");
        QVERIFY(!editor.deleteButton()->isEnabled());
        editor.deleteButton()->click();
        QCOMPARE(schemeNames(manager_), (QStringList{"PaperLike", "Mine 2"}));
    }

    void cleanupTestCase()
    {
        delete manager_;
    }
};

TALMENO_TEST_MAIN(TestLookFeelEditor)
#include "tst_lookfeel_editor.moc"
