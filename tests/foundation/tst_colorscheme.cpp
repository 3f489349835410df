// Colour scheme manager: the shipped scheme, the applied style sheet, the user's
// scheme file (copy, modify, delete) and its loading rules.
#include <QFile>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>
#include <QTextStream>

#include "foundation/ZColorSchemeManager.h"
#include "foundation/ZIconsManager.h"
#include "support/testenv.h"

namespace {

const char* const kPaperLike[18] = {"#232323", "#bcbcbc", "#1c9dff", "#0078d7", "#efebe7", "#efebe7",
                                    "#dcd9d5", "#c9c6c3", "#efebe7", "#e2dfdb", "#ffffff", "#0078d7",
                                    "#bcb9b5", "#1883d7", "#d1cecb", "#c1c1c1", "#1883d7", "#0078d7"};

QVector<QColor> paperLike()
{
    QVector<QColor> colors;
    for (const char* name : kPaperLike)
        colors.append(QColor(name));
    return colors;
}

QString readResource(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return QString();
    QTextStream stream(&file);
    stream.setCodec("UTF-8");
    return stream.readAll();
}

// The user's file as written: group -> 18 colour texts (empty when missing).
QMap<QString, QStringList> userFileContent(const QString& path)
{
    QMap<QString, QStringList> content;
    QSettings settings(path, QSettings::IniFormat);
    for (const QString& group : settings.childGroups()) {
        QStringList values;
        for (int role = 0; role < 18; ++role)
            values << settings.value(group + "/colors/" + ZColorSchemeManager::roleKey(role)).toString();
        content.insert(group, values);
    }
    return content;
}

const QRegularExpression kTimedWarning(QString::fromLatin1("^\\[\\d\\d\\.\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3}\\] +%1"));

QRegularExpression warning(const QString& text)
{
    return QRegularExpression(kTimedWarning.pattern().arg(QRegularExpression::escape(text)));
}

} // namespace

class TestColorScheme : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir_;
    ZColorSchemeManager* manager_ = nullptr;

    QString userFile() const { return dir_.path() + "/color_scheme/customized_colorscheme.ini"; }

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        manager_ = ZColorSchemeManager::instance(dir_.path(), nullptr);
        QCOMPARE(ZColorSchemeManager::instance("/elsewhere"), manager_);
        QCOMPARE(manager_->userSchemeFile(), userFile());
        QCOMPARE(manager_->iconsManager(), ZIconsManager::instance());
        QCOMPARE(manager_->iconsManager()->schemeFolder(), dir_.path() + "/color_scheme");
    }

    void shippedSchemeIsPaperLike()
    {
        QCOMPARE(manager_->internalCount(), 1);
        QCOMPARE(manager_->schemes().size(), 1);
        QCOMPARE(manager_->schemes().first()->name, QString("PaperLike"));
        QCOMPARE(manager_->schemes().first()->colors, paperLike());
        QCOMPARE(manager_->indexOf("PaperLike"), 0);
        QCOMPARE(manager_->indexOf("paperlike"), -1);
        QCOMPARE(ZColorSchemeManager::roleKey(0), QString("foreground_color_normal"));
        QCOMPARE(ZColorSchemeManager::roleKey(9), QString("background_color_inputarea"));
        QCOMPARE(ZColorSchemeManager::roleKey(17), QString("scroll_bar_handle_pressed"));
        QVERIFY(ZColorSchemeManager::roleKey(18).isEmpty());
    }

    void colourBeforeApplyAndOutOfRange()
    {
        QVERIFY(manager_->currentSchemeName().isEmpty());
        QCOMPARE(manager_->color(0), QColor("#232323"));
        QCOMPARE(manager_->color(17), QColor("#0078d7"));
        QCOMPARE(manager_->color(18), QColor(Qt::red));
        QCOMPARE(manager_->color(-1), QColor(Qt::red));
    }

    void wholeWordReplacement()
    {
        QVector<QColor> colors = paperLike();
        const QString filled = ZColorSchemeManager::fillStyleSheet(
            "a{color: foreground_color_normal;} b{color: foreground_color_normal_x;} "
            "c{color: xforeground_color_normal;} d{image: url(internal_icons_path/up_arrow_hover.png);} "
            "e{background: background_color_button_normal;}",
            colors, "/icons here");
        QVERIFY(filled.contains("a{color: #232323;}"));
        QVERIFY(filled.contains("foreground_color_normal_x"));
        QVERIFY(filled.contains("xforeground_color_normal"));
        QVERIFY(filled.contains("url(/icons here/up_arrow_hover.png)"));
        QVERIFY(filled.contains("e{background: #efebe7;}"));
    }

    // With no "ColorScheme" setting start-up applies the empty name: PaperLike.
    void applyFillsTheStyleSheet()
    {
        const QString name = QSettings().value("ColorScheme").toString();
        QVERIFY(name.isEmpty());
        QVERIFY(manager_->applyStyleSheet(name));
        QCOMPARE(manager_->currentSchemeName(), QString("PaperLike"));
        const QString sheet = qApp->styleSheet();
        QVERIFY(sheet.size() > 1000);
        for (int role = 0; role < 18; ++role) {
            const QRegularExpression key("\\b" + ZColorSchemeManager::roleKey(role) + "\\b");
            QVERIFY2(!sheet.contains(key), qPrintable(ZColorSchemeManager::roleKey(role)));
        }
        QVERIFY(!sheet.contains("internal_icons_path"));
        QVERIFY(sheet.contains("#efebe7"));
        QVERIFY(sheet.contains("#bcb9b5"));
        // Every picture the sheet names was written for these colours.
        const QString folder = dir_.path() + "/color_scheme/#232323,#bcbcbc,#1c9dff,#0078d7/internal_icons";
        const QRegularExpression url("url\\(([^)]+)\\)");
        int urls = 0;
        for (auto it = url.globalMatch(sheet); it.hasNext();) {
            const QString path = it.next().captured(1);
            QVERIFY2(path.startsWith(folder), qPrintable(path));
            QVERIFY2(QFile::exists(path), qPrintable(path));
            ++urls;
        }
        QVERIFY(urls >= 30);
        // The style sheet is one Qt accepts: a styled widget shows its colours.
        QWidget widget;
        widget.ensurePolished();
        QCOMPARE(widget.palette().color(QPalette::Window), QColor("#efebe7"));
        QCOMPARE(widget.palette().color(QPalette::WindowText), QColor("#232323"));
    }

    // A checked tool button (a running recording, replay or export) has an accent
    // edge that neither an idle nor a hovered one shows, at the same size.
    void checkedToolButtonsStandOut()
    {
        QVERIFY(manager_->applyStyleSheet("PaperLike"));
        QToolBar bar;
        QAction* action = bar.addAction(ZIconsManager::instance()->icon(0), "Data Recording");
        action->setCheckable(true);
        auto* button = qobject_cast<QToolButton*>(bar.widgetForAction(action));
        bar.show();
        const QSize idleSize = button->sizeHint();
        for (int state = 0; state < 4; ++state) {
            action->setChecked(state & 1);
            button->setAttribute(Qt::WA_UnderMouse, state & 2);
            const QImage image = button->grab().toImage();
            QCOMPARE(image.pixelColor(0, image.height() / 2) == manager_->color(11), bool(state & 1));
            QCOMPARE(button->sizeHint(), idleSize);
        }
    }

    void templateCarriesTheNamedRules()
    {
        const QString sheet = readResource(":/color_scheme/style.qss");
        for (const char* rule : {"#CustomizedStyle_FramelessWidget", "#QAbstractScrollArea_WithoutBorder",
                                 "#QToolButton_Without_menu_indicator", "#Icon_Switch", "[noBorder=\"true\"]",
                                 "[withBorder=\"true\"]", "[frameShape=\"0\"]", "[height=\"3\"]", "[width=\"3\"]",
                                 "QScrollBar::handle", "QTreeView::branch", "QTableCornerButton", "QToolTip"})
            QVERIFY2(sheet.contains(QLatin1String(rule)), rule);
        // Roles that no rule uses stay unused, so editing them changes nothing unexpected.
        for (int role : {2, 3, 5, 13, 15})
            QVERIFY(!sheet.contains(QRegularExpression("\\b" + ZColorSchemeManager::roleKey(role) + "\\b")));
    }

    void copyModifyAndSave()
    {
        QVERIFY(manager_->copyScheme("PaperLike", "Night"));
        QCOMPARE(manager_->indexOf("Night"), 1);
        auto content = userFileContent(userFile());
        QCOMPARE(content.keys(), QStringList{"Night"});
        QStringList expected;
        for (const char* c : kPaperLike)
            expected << c;
        QCOMPARE(content.value("Night"), expected);

        QVector<QColor> night = paperLike();
        night[0] = QColor("#fafafa");
        night[4] = QColor(20, 22, 24);
        QVERIFY(manager_->modifyScheme("Night", night));
        QCOMPARE(manager_->schemes().at(1)->colors, night);
        content = userFileContent(userFile());
        QCOMPARE(content.value("Night").at(0), QString("#fafafa"));
        QCOMPARE(content.value("Night").at(4), QString("#141618"));

        // A copy takes the stored colours of its source.
        QVERIFY(manager_->copyScheme("Night", "Night 2"));
        QCOMPARE(manager_->schemes().last()->colors, night);
        QCOMPARE(userFileContent(userFile()).size(), 2);
    }

    void refusalsChangeNothing()
    {
        if (manager_->indexOf("Night") < 0) { // run alone: the user's schemes, the shipped one applied
            copyModifyAndSave();
            QVERIFY(manager_->applyStyleSheet("PaperLike"));
        }
        const QByteArray before = [this] {
            QFile file(userFile());
            file.open(QIODevice::ReadOnly);
            return file.readAll();
        }();
        const int count = manager_->schemes().size();

        QTest::ignoreMessage(QtWarningMsg, warning("Night existed"));
        QVERIFY(!manager_->copyScheme("PaperLike", "Night"));
        QTest::ignoreMessage(QtWarningMsg, warning("Nowhere not existed"));
        QVERIFY(!manager_->copyScheme("Nowhere", "Fresh"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("invalid color scheme name"));
        QVERIFY(!manager_->copyScheme("PaperLike", "a/b"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("invalid color scheme name"));
        QVERIFY(!manager_->copyScheme("PaperLike", ""));

        QVector<QColor> changed = paperLike();
        changed[0] = Qt::blue;
        QTest::ignoreMessage(QtWarningMsg, warning("internal color scheme  can't be modified"));
        QVERIFY(!manager_->modifyScheme("PaperLike", changed));
        QCOMPARE(manager_->schemes().first()->colors, paperLike());
        QTest::ignoreMessage(QtWarningMsg, warning("Ghost not existed"));
        QVERIFY(!manager_->modifyScheme("Ghost", changed));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("wrong color count"));
        QVERIFY(!manager_->modifyScheme("Night", changed.mid(0, 5)));

        QTest::ignoreMessage(QtWarningMsg, warning("deleteColorScheme 0 PaperLike PaperLike"));
        QVERIFY(!manager_->deleteScheme("PaperLike"));
        QTest::ignoreMessage(QtWarningMsg, warning("deleteColorScheme -1 Ghost PaperLike"));
        QVERIFY(!manager_->deleteScheme("Ghost"));

        QCOMPARE(manager_->schemes().size(), count);
        QFile file(userFile());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), before);
    }

    void deleteUserSchemes()
    {
        if (manager_->indexOf("Night 2") < 0) // run alone: the user's schemes first
            copyModifyAndSave();
        // The scheme in use cannot go.
        QVERIFY(manager_->applyStyleSheet("Night 2"));
        QCOMPARE(manager_->color(0), QColor("#fafafa"));
        QTest::ignoreMessage(QtWarningMsg, warning("deleteColorScheme 2 Night 2 Night 2"));
        QVERIFY(!manager_->deleteScheme("Night 2"));
        QVERIFY(manager_->applyStyleSheet("PaperLike"));
        QVERIFY(manager_->deleteScheme("Night 2"));
        QCOMPARE(manager_->indexOf("Night 2"), -1);
        QCOMPARE(userFileContent(userFile()).keys(), QStringList{"Night"});
    }

    void unknownNameAppliesTheFirstScheme()
    {
        QVERIFY(manager_->applyStyleSheet("Night"));
        QVERIFY(manager_->applyStyleSheet("no such scheme"));
        QCOMPARE(manager_->currentSchemeName(), QString("PaperLike"));
        QCOMPARE(manager_->color(0), QColor("#232323"));
    }

    void loadingRules()
    {
        const QString path = dir_.path() + "/extra.ini";
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Text));
        file.write("[Partial]\n"
                   "colors\\foreground_color_normal=#102030\n"
                   "colors\\bogus_key=#ffffff\n"
                   "colors\\scroll_bar_handle_pressed=darkgreen\n"
                   "[PaperLike]\n"
                   "colors\\foreground_color_normal=#000001\n");
        file.close();
        const int before = manager_->schemes().size();
        QTest::ignoreMessage(QtWarningMsg, warning("key not existed bogus_key"));
        manager_->loadSchemes(path);
        QCOMPARE(manager_->schemes().size(), before + 2);
        const ZColorSchemeManager::Scheme* partial = manager_->schemes().at(manager_->indexOf("Partial"));
        QCOMPARE(partial->colors.size(), 18);
        QCOMPARE(partial->colors.at(0), QColor("#102030"));
        QCOMPARE(partial->colors.at(17), QColor(0, 100, 0)); // any text QColor reads
        for (int role = 1; role < 17; ++role)
            QCOMPARE(partial->colors.at(role), QColor(Qt::red));
        // A duplicate of a shipped name is appended but never found by name.
        QCOMPARE(manager_->indexOf("PaperLike"), 0);
        int named = 0;
        for (const ZColorSchemeManager::Scheme* scheme : manager_->schemes())
            named += scheme->name == "PaperLike" ? 1 : 0;
        QCOMPARE(named, 2);
        manager_->loadSchemes(dir_.path() + "/missing.ini");
        QCOMPARE(manager_->schemes().size(), before + 2);
    }

    // A new manager (the next start) finds the user's schemes in the file.
    void userSchemesSurviveARestart()
    {
        if (manager_->indexOf("Night") < 0) { // run alone: the user's scheme the cases before leave
            copyModifyAndSave();
            deleteUserSchemes();
        }
        delete manager_;
        QCOMPARE(ZIconsManager::instance("/nowhere")->schemeFolder(), QString("/nowhere"));
        delete ZIconsManager::instance();
        manager_ = ZColorSchemeManager::instance(dir_.path());
        QCOMPARE(manager_->internalCount(), 1);
        QCOMPARE(manager_->schemes().size(), 2);
        QCOMPARE(manager_->schemes().at(1)->name, QString("Night"));
        QCOMPARE(manager_->schemes().at(1)->colors.at(0), QColor("#fafafa"));
        QCOMPARE(manager_->iconsManager()->schemeFolder(), dir_.path() + "/color_scheme");
        QVERIFY(manager_->applyStyleSheet("Night"));
        QVERIFY(qApp->styleSheet().contains("#fafafa"));
        QCOMPARE(manager_->iconsManager()->colorFolder(),
                 dir_.path() + "/color_scheme/#fafafa,#bcbcbc,#1c9dff,#0078d7");
    }

    void cleanupTestCase()
    {
        delete manager_;
    }
};

TALMENO_TEST_MAIN(TestColorScheme)
#include "tst_colorscheme.moc"
