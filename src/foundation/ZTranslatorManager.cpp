#include "foundation/ZTranslatorManager.h"

#include <QAction>
#include <QActionGroup>
#include <QLibraryInfo>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QSettings>
#include <QTranslator>

namespace {

ZTranslatorManager* s_instance = nullptr;

ZTranslatorManager::NoticeHook& noticeHook()
{
    static ZTranslatorManager::NoticeHook hook;
    return hook;
}

const QString kLanguageKey = QStringLiteral("Language");
const char* const kMenuTitle = QT_TRANSLATE_NOOP("ZTranslatorManager", "Language");
const QString kFallbackLanguage = QStringLiteral("Chinese");

} // namespace

ZTranslatorManager* ZTranslatorManager::instance(QObject* parent)
{
    if (!s_instance)
        s_instance = new ZTranslatorManager(parent);
    return s_instance;
}

const QMap<QString, QString>& ZTranslatorManager::languageTable()
{
    static const QMap<QString, QString> table{
        {QLocale::languageToString(QLocale::Chinese), QStringLiteral(":/translations/language_zh.qm")},
        {QLocale::languageToString(QLocale::English), QStringLiteral(":/translations/language_en.qm")},
    };
    return table;
}

void ZTranslatorManager::setNoticeHook(NoticeHook hook)
{
    noticeHook() = std::move(hook);
}

ZTranslatorManager::ZTranslatorManager(QObject* parent)
    : QObject(parent)
    , translator_(new QTranslator(this))
    , qtTranslator_(new QTranslator(this))
    , menu_(new QMenu)
    , group_(new QActionGroup(this))
    , settings_(new QSettings(this))
{
    group_->setExclusive(true);
    const auto& table = languageTable();
    for (auto it = table.begin(); it != table.end(); ++it) {
        // Language names stay in their own words whatever the interface language.
        QAction* action = menu_->addAction(it.key());
        action->setShortcut(QKeySequence());
        action->setCheckable(true);
        group_->addAction(action);
        const QString name = it.key();
        connect(action, &QAction::triggered, this, [this, name] { chooseLanguage(name); });
    }

    QString name = settings_->value(kLanguageKey, QLocale::languageToString(QLocale().language())).toString();
    if (!table.contains(name))
        name = kFallbackLanguage;
    loadLanguage(name);
    for (QAction* action : group_->actions()) {
        if (action->text() == name)
            action->setChecked(true);
    }
    currentLanguageName_ = name;
    // The menu exists before start-up installs the translator, so its title is taken
    // from the loaded file directly; otherwise it would stay English in every language.
    const QString title = translator_->translate("ZTranslatorManager", kMenuTitle);
    menu_->setTitle(title.isEmpty() ? QString::fromLatin1(kMenuTitle) : title);
}

ZTranslatorManager::~ZTranslatorManager()
{
    delete menu_.data();
    if (s_instance == this)
        s_instance = nullptr;
}

void ZTranslatorManager::chooseLanguage(const QString& name)
{
    settings_->setValue(kLanguageKey, name);
    settings_->sync();
    const QString title = tr("Information");
    const QString text = tr("Effective after restart");
    if (noticeHook())
        noticeHook()(title, text);
    else
        QMessageBox::information(nullptr, title, text, QMessageBox::Ok);
    loadLanguage(name);
}

QString ZTranslatorManager::qtCatalogue(const QString& languageName)
{
    if (languageName != kFallbackLanguage)
        return QString();
    return QLibraryInfo::location(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_zh_CN.qm");
}

void ZTranslatorManager::loadLanguage(const QString& name)
{
    // A file that cannot be loaded leaves the texts in English.
    translator_->load(languageTable().value(name));
    const QString qtFile = qtCatalogue(name);
    if (qtFile.isEmpty())
        qtTranslator_->load(QString()); // empties it
    else
        qtTranslator_->load(qtFile);
}

QString ZTranslatorManager::currentLanguageName(const QStringList& names) const
{
    if (names.isEmpty())
        return QString();
    if (names.contains(currentLanguageName_))
        return currentLanguageName_;
    if (names.contains(kFallbackLanguage))
        return kFallbackLanguage;
    return names.first();
}
