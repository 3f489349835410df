#pragma once

#include <QMap>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>

class QActionGroup;

class QSettings;
class QTranslator;

// Chooses the interface language at start-up (settings key "Language", else the
// system's language, else Chinese), loads its translation into one translator that
// the application installs, and offers the "Language" menu. A new choice is stored at
// once but shows fully only after a restart.
class ZTranslatorManager : public QObject
{
    Q_OBJECT
public:
    // Shows the notice after a choice; replaceable so that tests and headless runs
    // never block on a message box. An empty hook restores the message box.
    using NoticeHook = std::function<void(const QString& title, const QString& text)>;

    static ZTranslatorManager* instance(QObject* parent = nullptr);

    // The program uses instance(); a separate manager reads the settings afresh (tests).
    explicit ZTranslatorManager(QObject* parent = nullptr);
    ~ZTranslatorManager() override;

    // Language name (QLocale::languageToString) -> translation resource, in key order.
    static const QMap<QString, QString>& languageTable();

    QTranslator* translator() const { return translator_; }
    // Qt's own texts (file dialog, standard buttons, colour dialog) in the chosen
    // language; empty for English. Installed beside translator().
    QTranslator* qtTranslator() const { return qtTranslator_; }
    // The catalogue of Qt's own texts for a language name of the table; empty when
    // Qt's texts need none (English).
    static QString qtCatalogue(const QString& languageName);
    // Not owned by any widget: the main window adds it as a submenu; the manager deletes it.
    QMenu* menu() const { return menu_; }
    // The language chosen for this run; fixed until the program restarts.
    QString currentLanguage() const { return currentLanguageName_; }
    // From names offered by some content: the current language, else "Chinese", else the
    // first entry; empty for an empty list.
    QString currentLanguageName(const QStringList& names) const;

    static void setNoticeHook(NoticeHook hook);

private:
    void chooseLanguage(const QString& name);
    void loadLanguage(const QString& name);

    QTranslator* translator_ = nullptr;
    QTranslator* qtTranslator_ = nullptr;
    QPointer<QMenu> menu_;
    QString currentLanguageName_;
    QActionGroup* group_ = nullptr;
    QSettings* settings_ = nullptr;
};
