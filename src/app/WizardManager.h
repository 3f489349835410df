#pragma once

#include <QMap>
#include <QObject>
#include <QStringList>

class QMenu;

// The help and wizard menu: named entries under "Help & Wizard". The program
// offers none yet, so the menu stays empty and is shown nowhere; the manager owns
// the entry objects it is given.
class WizardManager : public QObject
{
    Q_OBJECT
public:
    // Creates the manager on the first call; later calls return it.
    static WizardManager* instance(QObject* parent = nullptr);
    // The manager if it exists, without making one.
    static WizardManager* existing();
    ~WizardManager() override;

    QMenu* menu() const { return menu_; }
    QStringList entryNames() const { return entryNames_; }
    // Adds an entry owned by the manager from now on.
    void addEntry(const QString& key, QObject* entry);
    QObject* entry(const QString& key) const { return entries_.value(key, nullptr); }

private:
    explicit WizardManager(QObject* parent);

    QStringList entryNames_;
    QMenu* menu_ = nullptr;
    QMap<QString, QObject*> entries_;
};
