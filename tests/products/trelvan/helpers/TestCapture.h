#pragma once

// Set-up shared by the frame tests: the model manager the processor sees as
// current, and an in-memory copy of every log line so tests can check what
// the pipeline reported.

#include <QString>
#include <QStringList>

class ModelManager;

namespace TestTrelvan {

// The manager handed out through the current-manager lookup; tests switch it per case.
void setCurrentManager(ModelManager* manager);
ModelManager* currentManager();

// Installs the capturing message handler. Debug lines never reach the console;
// with quietWarnings, warnings stay off it as well.
void startLogCapture(bool quietWarnings = false);
void stopLogCapture();
void clearLog();
QStringList logLines(const QString& part);
int logCount(const QString& part);
QString lastLogLine();

} // namespace TestTrelvan
