#include "products/trelvan/TrelvanRegistration.h"

#include "products/trelvan/protocols/NodeLabel.h"

namespace Trelvan {

void registerProtocols()
{
    installNodeLabel();
    // Each frame protocol of the line adds its registerFrameProtocol<...>() here.
}

} // namespace Trelvan
