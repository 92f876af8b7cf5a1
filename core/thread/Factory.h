#pragma once
#include "core/thread/PoolerBase.h"

namespace s::thread {

// A PoolerBase under its own class name; object factories derive from it.
class Factory : public PoolerBase {
public:
    static constexpr wchar_t CLASS_NAME[] = L"s_thread_Factory";
    const wchar_t* className() const override { return CLASS_NAME; }
};

} // namespace s::thread
