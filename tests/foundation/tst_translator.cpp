#include <QAction>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QActionGroup>
#include <QFile>
#include <QLocale>
#include <QMenu>
#include <QSettings>
#include <QTranslator>
#include <QXmlStreamReader>

#include "foundation/ZTranslatorManager.h"
#include "support/testenv.h"

namespace {

struct Message
{
    QString context;
    QString source;
    QString comment;
    QString translation;
    bool unfinished = false;
    bool numerus = false;
};

// Reads the messages of a translation source; vanished and obsolete ones are skipped.
QList<Message> readTs(const QString& path, QString* error)
{
    QList<Message> out;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        *error = "cannot open " + path;
        return out;
    }
    QXmlStreamReader xml(&f);
    QString context;
    Message m;
    bool skip = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            const auto name = xml.name();
            if (name == QLatin1String("name")) {
                context = xml.readElementText();
            } else if (name == QLatin1String("message")) {
                m = Message();
                m.context = context;
                m.numerus = xml.attributes().value("numerus") == QLatin1String("yes");
                skip = false;
            } else if (name == QLatin1String("source")) {
                m.source = xml.readElementText();
            } else if (name == QLatin1String("comment")) {
                m.comment = xml.readElementText();
            } else if (name == QLatin1String("translation")) {
                const QString type = xml.attributes().value("type").toString();
                skip = type == QLatin1String("vanished") || type == QLatin1String("obsolete");
                m.unfinished = type == QLatin1String("unfinished");
                if (!m.numerus)
                    m.translation = xml.readElementText();
            } else if (name == QLatin1String("numerusform")) {
                m.translation += xml.readElementText();
            }
        } else if (xml.isEndElement() && xml.name() == QLatin1String("message") && !skip) {
            out.append(m);
        }
    }
    if (xml.hasError())
        *error = path + ": " + xml.errorString();
    return out;
}

QString tsPath(const QString& file)
{
    return qEnvironmentVariable("TALMENO_SOURCE_DIR") + "/src/resources/translations/" + file;
}

void writeLanguage(const QVariant& value)
{
    QSettings s;
    if (value.isValid())
        s.setValue("Language", value);
    else
        s.remove("Language");
    s.sync();
}

QVariant storedLanguage()
{
    QSettings s;
    return s.value("Language");
}

QStringList checkedActions(const ZTranslatorManager& m)
{
    QStringList out;
    for (QAction* a : m.menu()->actions()) {
        if (a->isChecked())
            out << a->text();
    }
    return out;
}

} // namespace

class TestTranslator : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void menuListsLanguagesInKeyOrder();
    void languageChosenAtStart_data();
    void languageChosenAtStart();
    void choiceIsStoredAndNoticed();
    void currentLanguageNameChoosesBestEntry_data();
    void currentLanguageNameChoosesBestEntry();
    void instanceIsOne();
    void translationSourcesAreCompleteAndCompiled();
    void qtOwnTextsFollowTheLanguage_data();
    void qtOwnTextsFollowTheLanguage();

private:
    QList<QPair<QString, QString>> notices_;
};

void TestTranslator::init()
{
    notices_.clear();
    ZTranslatorManager::setNoticeHook([this](const QString& title, const QString& text) {
        notices_.append({title, text});
    });
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TestTranslator::cleanup()
{
    ZTranslatorManager::setNoticeHook({});
    QLocale::setDefault(QLocale::c());
}

void TestTranslator::menuListsLanguagesInKeyOrder()
{
    writeLanguage("English");
    ZTranslatorManager m;
    QVERIFY(m.menu());
    QCOMPARE(m.menu()->title(), QString("Language"));
    QCOMPARE(m.menu()->parent(), nullptr);
    const auto actions = m.menu()->actions();
    QCOMPARE(actions.size(), 2);
    QCOMPARE(actions.at(0)->text(), QString("Chinese"));
    QCOMPARE(actions.at(1)->text(), QString("English"));
    for (QAction* a : actions) {
        QVERIFY(a->isCheckable());
        QVERIFY(a->shortcut().isEmpty());
        QVERIFY(a->actionGroup() && a->actionGroup()->isExclusive());
        QCOMPARE(a->actionGroup(), actions.at(0)->actionGroup());
    }
    // The menu has no widget parent but goes with its manager.
    QPointer<QMenu> menu = m.menu();
    {
        ZTranslatorManager other;
        menu = other.menu();
    }
    QVERIFY(menu.isNull());
}

void TestTranslator::languageChosenAtStart_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<int>("systemLanguage");
    QTest::addColumn<QString>("expected");
    QTest::newRow("no setting, English system") << QVariant() << int(QLocale::English) << "English";
    QTest::newRow("no setting, Chinese system") << QVariant() << int(QLocale::Chinese) << "Chinese";
    QTest::newRow("no setting, French system") << QVariant() << int(QLocale::French) << "Chinese";
    QTest::newRow("no setting, German system") << QVariant() << int(QLocale::German) << "Chinese";
    QTest::newRow("English stored, Chinese system") << QVariant("English") << int(QLocale::Chinese) << "English";
    QTest::newRow("Chinese stored, English system") << QVariant("Chinese") << int(QLocale::English) << "Chinese";
    QTest::newRow("French stored, English system") << QVariant("French") << int(QLocale::English) << "Chinese";
    QTest::newRow("lower-case name stored") << QVariant("english") << int(QLocale::English) << "Chinese";
}

void TestTranslator::languageChosenAtStart()
{
    QFETCH(QVariant, stored);
    QFETCH(int, systemLanguage);
    QFETCH(QString, expected);
    writeLanguage(stored);
    QLocale::setDefault(QLocale(QLocale::Language(systemLanguage)));

    ZTranslatorManager m;
    QCOMPARE(m.currentLanguage(), expected);
    QCOMPARE(checkedActions(m), QStringList({expected}));
    // The menu is made before any translator is installed, yet carries the run's language.
    QCOMPARE(m.menu()->title(), expected == "Chinese" ? QString::fromUtf8("语言") : QString("Language"));
    // Starting never writes the choice; an unknown stored name stays until the user picks.
    QCOMPARE(storedLanguage(), stored);
    QVERIFY(notices_.isEmpty());

    // The loaded file is the chosen language's: Chinese translates, English keeps the source unless misspelt.
    const QString text = m.translator()->translate("ZTranslatorManager", "Effective after restart");
    const QString period = m.translator()->translate("Trelvan::WidgetNodeFrame0", "Peried: ");
    if (expected == "Chinese") {
        QVERIFY(!m.translator()->isEmpty());
        QCOMPARE(text, QString::fromUtf8("重启后生效"));
        QCOMPARE(period, QString::fromUtf8("周期："));
    } else {
        QCOMPARE(text, QString());
        QCOMPARE(period, QString("Period: "));
    }
}

void TestTranslator::choiceIsStoredAndNoticed()
{
    writeLanguage("English");
    ZTranslatorManager m;
    QCoreApplication::installTranslator(m.translator());
    QCOMPARE(checkedActions(m), QStringList({"English"}));
    QAction* chinese = m.menu()->actions().at(0);
    QAction* english = m.menu()->actions().at(1);

    chinese->trigger();
    QCOMPARE(storedLanguage(), QVariant("Chinese"));
    // The notice is worded in the language of the run; the choice shows after a restart.
    QCOMPARE(notices_.size(), 1);
    QCOMPARE(notices_.at(0).first, QString("Information"));
    QCOMPARE(notices_.at(0).second, QString("Effective after restart"));
    QCOMPARE(m.currentLanguage(), QString("English"));
    QCOMPARE(checkedActions(m), QStringList({"Chinese"}));
    // The translator already holds the new language for texts made from now on.
    QCOMPARE(QCoreApplication::translate("ZTranslatorManager", "Information"), QString::fromUtf8("提示"));
    QCOMPARE(m.currentLanguageName({"English", "Chinese"}), QString("English"));

    // Picking the checked entry again still stores and notices.
    writeLanguage("English");
    chinese->trigger();
    QCOMPARE(storedLanguage(), QVariant("Chinese"));
    QCOMPARE(notices_.size(), 2);
    QCOMPARE(notices_.at(1).second, QString::fromUtf8("重启后生效"));

    english->trigger();
    QCOMPARE(storedLanguage(), QVariant("English"));
    QCOMPARE(notices_.size(), 3);
    QCOMPARE(QCoreApplication::translate("ZTranslatorManager", "Information"), QString("Information"));
    QCoreApplication::removeTranslator(m.translator());

    // The next start follows the stored choice.
    chinese->trigger();
    ZTranslatorManager next;
    QCOMPARE(next.currentLanguage(), QString("Chinese"));
}

void TestTranslator::currentLanguageNameChoosesBestEntry_data()
{
    QTest::addColumn<QString>("current");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty") << "English" << QStringList() << "";
    QTest::newRow("current offered") << "English" << QStringList({"Chinese", "English"}) << "English";
    QTest::newRow("Chinese as fallback") << "English" << QStringList({"Japanese", "Chinese"}) << "Chinese";
    QTest::newRow("first as last resort") << "Chinese" << QStringList({"English", "Japanese"}) << "English";
    QTest::newRow("case matters") << "English" << QStringList({"english", "Japanese"}) << "english";
    QTest::newRow("current Chinese offered") << "Chinese" << QStringList({"English", "Chinese"}) << "Chinese";
}

void TestTranslator::currentLanguageNameChoosesBestEntry()
{
    QFETCH(QString, current);
    QFETCH(QStringList, names);
    QFETCH(QString, expected);
    writeLanguage(current);
    ZTranslatorManager m;
    QCOMPARE(m.currentLanguage(), current);
    QCOMPARE(m.currentLanguageName(names), expected);
}

void TestTranslator::instanceIsOne()
{
    writeLanguage("English");
    QObject owner;
    ZTranslatorManager* a = ZTranslatorManager::instance(&owner);
    QCOMPARE(a->parent(), &owner);
    QCOMPARE(ZTranslatorManager::instance(nullptr), a);
    QCOMPARE(a->currentLanguage(), QString("English"));
    delete a;
    // After the program's teardown deleted it, the accessor does not hand out a dangling one.
    ZTranslatorManager* b = ZTranslatorManager::instance(nullptr);
    QVERIFY(b);
    QCOMPARE(b->parent(), nullptr);
    delete b;
}

void TestTranslator::translationSourcesAreCompleteAndCompiled()
{
    // Every text of the Chinese source is translated, both sources hold the same texts,
    // and the compiled resources carry exactly these translations.
    QString error;
    const QList<Message> zh = readTs(tsPath("language_zh.ts"), &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    const QList<Message> en = readTs(tsPath("language_en.ts"), &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QVERIFY(!zh.isEmpty());

    QTranslator zhQm;
    QVERIFY(zhQm.load(":/translations/language_zh.qm"));
    QTranslator enQm;
    QVERIFY(enQm.load(":/translations/language_en.qm"));

    QStringList untranslated;
    QStringList notCompiled;
    QSet<QString> zhKeys;
    for (const Message& m : zh) {
        zhKeys.insert(m.context + '\x1f' + m.source + '\x1f' + m.comment);
        if (m.unfinished || m.translation.isEmpty()) {
            untranslated << m.context + ": " + m.source;
            continue;
        }
        if (m.numerus)
            continue;
        const QString compiled = zhQm.translate(m.context.toUtf8().constData(), m.source.toUtf8().constData(),
                                                m.comment.isEmpty() ? nullptr : m.comment.toUtf8().constData());
        if (compiled != m.translation)
            notCompiled << m.context + ": " + m.source;
    }
    QVERIFY2(untranslated.isEmpty(), qPrintable("untranslated: " + untranslated.join(" | ")));
    QVERIFY2(notCompiled.isEmpty(), qPrintable("not in the compiled file: " + notCompiled.join(" | ")));

    QSet<QString> enKeys;
    for (const Message& m : en)
        enKeys.insert(m.context + '\x1f' + m.source + '\x1f' + m.comment);
    QCOMPARE(enKeys, zhKeys);
}

void TestTranslator::qtOwnTextsFollowTheLanguage_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("expected"); // "Look in", "File name", "Cancel"
    QTest::newRow("Chinese") << QString("Chinese") << QString::fromUtf8("查找范围：文件名称(&N)：取消");
    QTest::newRow("English") << QString("English") << QString("Look in:File &name:Cancel");
}

// With both translators installed, as start-up does, Qt's own dialogs speak the
// chosen language.
void TestTranslator::qtOwnTextsFollowTheLanguage()
{
    QFETCH(QString, language);
    QFETCH(QString, expected);
    writeLanguage(language);
    ZTranslatorManager m;
    QCoreApplication::installTranslator(m.qtTranslator());
    QCoreApplication::installTranslator(m.translator());
    QFileDialog dialog(nullptr, "x");
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    auto* buttons = dialog.findChild<QDialogButtonBox*>("buttonBox");
    QVERIFY(buttons && buttons->button(QDialogButtonBox::Cancel));
    const QString texts = dialog.findChild<QLabel*>("lookInLabel")->text() + dialog.findChild<QLabel*>("fileNameLabel")->text()
                          + buttons->button(QDialogButtonBox::Cancel)->text();
    QCoreApplication::removeTranslator(m.translator());
    QCoreApplication::removeTranslator(m.qtTranslator());
    QCOMPARE(texts, expected);
}

TALMENO_TEST_MAIN(TestTranslator)
#include "tst_translator.moc"
