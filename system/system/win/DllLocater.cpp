#include "system/system/win/DllLocater.h"

namespace s::system::win {

DllLocater::DllLocater(const wchar_t* name) : module_(nullptr), loadError_(0) {
    if (name != nullptr) {
        module_ = LoadLibraryW(name);
        if (module_ == nullptr) {
            loadError_ = GetLastError();
        }
    }
}

DllLocater::~DllLocater() {
    unload();
}

BOOL DllLocater::unload() {
    if (module_ == nullptr) {
        return FALSE;
    }
    const BOOL freed = FreeLibrary(module_);
    module_ = nullptr;
    return freed;
}

} // namespace s::system::win
