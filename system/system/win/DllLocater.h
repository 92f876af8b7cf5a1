#pragma once
#include <windows.h>

#include "core/base/IObject.h"
#include "core/thread/ClassPool.h"
#include "core/thread/IPoolable.h"

namespace s::system::win {

// One DLL loaded by bare file name (the system's default search order) at run time.
// Callers resolve their functions with GetProcAddress on handle(); the library is
// freed when the locater is unloaded or destroyed. Users keep one locater per
// library as a function-local static, so resolved pointers stay valid until exit.
class DllLocater : public s::thread::IPoolable, public s::base::IObject {
    S_POOLED_CLASS(DllLocater, 1000, L"s_system_win_DllLocater")

public:
    // Loads `name` when given; a failed load leaves the handle null.
    explicit DllLocater(const wchar_t* name = nullptr);
    ~DllLocater() override;
    DllLocater(const DllLocater&) = delete;
    DllLocater& operator=(const DllLocater&) = delete;

    HINSTANCE handle() const { return module_; }
    // GetLastError of a failed load, taken at once; 0 after a successful one.
    DWORD loadError() const { return loadError_; }

    // Frees the library when one is held; the FreeLibrary result, or 0 when none was.
    virtual BOOL unload();

    // A pooled locater holds no library.
    void reset() override { unload(); }

private:
    HINSTANCE module_;
    DWORD loadError_;
};

} // namespace s::system::win
