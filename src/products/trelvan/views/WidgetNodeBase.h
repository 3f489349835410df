#pragma once

#include "products/trelvan/protocols/NodeLabel.h"
#include "products/trelvan/views/NodeViewSupport.h"
#include "widgets/NodeGridBox.h"

namespace Trelvan {

// The box of one node (one role and id) of one Trelvan frame kind.
template <typename Node_t>
using WidgetNodeBase = NodeGrid::WidgetNodeBase<Node_t>;

} // namespace Trelvan
