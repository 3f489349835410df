#pragma once

#include <QString>

class ModelManager;

// Points where the frame pipeline reaches parts of the program that are built
// elsewhere: the model manager of the current page, and the node label of the
// positioning system. Each answers a neutral value until its owner installs a
// function (at start-up, before any frame is decoded).
namespace ProtocolSeams {

using ModelManagerLookup = ModelManager* (*)();
void setCurrentModelManagerLookup(ModelManagerLookup lookup);
// The model manager of the current page; none until a lookup is installed.
ModelManager* currentModelManager();

using NodeLabelFunction = QString (*)(qint8 role, quint8 id);
void setNodeLabelFunction(NodeLabelFunction function);
// The node's display label; "<role>_<id>" until a function is installed.
QString nodeLabel(qint8 role, quint8 id);

} // namespace ProtocolSeams
