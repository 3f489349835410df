#pragma once

class ProductHandleBase;
class QAction;
class QWidget;

namespace Trelvan {

// The positioning line's product handle when it exists, never creating it; null
// while the line has no handle.
ProductHandleBase* existingProductHandle();

// Publishes the action that opens a window of the line (the "Data Transmission"
// window, the error popup): through the handle when it exists (the window joins
// the widgets hidden with the product), else straight onto the product tool bar.
// Without either (no main window, as in tests) the action stays with its owner.
void publishWindowAction(QWidget* window, QAction* action);

} // namespace Trelvan
