#include "app/WizardManager.h"

#include <QMenu>

namespace {
WizardManager* g_wizard = nullptr;
}

WizardManager* WizardManager::instance(QObject* parent)
{
    if (!g_wizard)
        g_wizard = new WizardManager(parent);
    return g_wizard;
}

WizardManager* WizardManager::existing()
{
    return g_wizard;
}

WizardManager::WizardManager(QObject* parent)
    : QObject(parent)
    , menu_(new QMenu(tr("Help && Wizard")))
{
}

WizardManager::~WizardManager()
{
    if (g_wizard == this)
        g_wizard = nullptr;
    for (QObject* entry : qAsConst(entries_))
        delete entry;
    entries_.clear();
    delete menu_;
}

void WizardManager::addEntry(const QString& key, QObject* entry)
{
    if (!entry)
        return;
    if (QObject* old = entries_.value(key, nullptr)) {
        if (old != entry)
            delete old;
    } else {
        entryNames_ << key;
    }
    entries_.insert(key, entry);
}
