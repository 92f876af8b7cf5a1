#pragma once
#include "core/base/IObject.h"
#include "core/thread/IPoolable.h"

namespace s::gui {

class IContainer;

// Places a container's children. The managers hold no state: each kind has one
// process-wide instance and a class pool.
class ILayoutManager : public base::IObject, public thread::IPoolable {
public:
    static constexpr wchar_t CLASS_NAME[] = L"s_gui_ILayoutManager";
    const wchar_t* className() const override { return CLASS_NAME; }

    virtual void layout(IContainer* container) = 0;
};

} // namespace s::gui
