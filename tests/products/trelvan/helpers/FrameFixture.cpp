#include "FrameFixture.h"

#include "TestCapture.h"
#include "model/BaseModel.h"
#include "model/ModelManager.h"
#include "model/ResourceItems.h"
#include "products/trelvan/protocols/NodeLabel.h"
#include "protocol/ProtocolDataProcessor.h"
#include "protocol/ProtocolFrameExtraction.h"
#include "protocol/ProtocolSeams.h"

#include <QtNumeric>

namespace TestTrelvan {

void FrameFixture::setUp(QObject* owner)
{
    startLogCapture();
    flatPage = new ModelManager(dir_.filePath("flat.ini"),
                                {ResourceType::Data, ResourceType::Line, ResourceType::Scatter}, owner);
    fullPage = new ModelManager(dir_.filePath("full.ini"),
                                {ResourceType::Data, ResourceType::Line, ResourceType::Scatter,
                                 ResourceType::Attitude, ResourceType::Scatter3D},
                                owner);
    ProtocolSeams::setCurrentModelManagerLookup(&currentManager);
    Trelvan::installNodeLabel();
    ex = ProtocolFrameExtraction::instance();
}

void FrameFixture::tearDown()
{
    ProtocolSeams::setCurrentModelManagerLookup(nullptr);
    stopLogCapture();
}

void FrameFixture::reset()
{
    ex->clearBuffers();
    clearLog();
}

void FrameFixture::feed(const QByteArray& bytes)
{
    ex->appendData(bytes);
    ex->extractFrames();
    ProtocolDataProcessor::instance()->processFrames();
}

LineResourceItem* FrameFixture::line(const QString& belong, const QString& name) const
{
    BaseResourceModel* lines = fullPage->resourceModel(ResourceType::Line);
    return lines ? qobject_cast<LineResourceItem*>(lines->resource(belong + name)) : nullptr;
}

double FrameFixture::lastOf(const QString& belong, const QString& name) const
{
    LineResourceItem* item = line(belong, name);
    return item ? item->lastValue() : qQNaN();
}

} // namespace TestTrelvan
