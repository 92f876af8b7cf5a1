#pragma once
#include "framework/CWnd.h"

namespace s::gui::win {

// The hidden owner of a top-level frame, so that the frame has an owner that never
// shows. A window of the toolkit's class and nothing else of its own.
class InvisibleWindow : public CWnd {};

} // namespace s::gui::win
