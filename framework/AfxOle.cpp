#include "framework/AfxOle.h"

#include <ole2.h>

namespace {

thread_local bool t_initialized = false;

} // namespace

BOOL AfxOleInit() {
    if (t_initialized) {
        return TRUE;
    }
    t_initialized = SUCCEEDED(OleInitialize(nullptr));
    return t_initialized;
}

void AfxOleTerm() {
    if (t_initialized) {
        t_initialized = false;
        OleUninitialize();
    }
}

bool AfxOleIsInitialized() {
    return t_initialized;
}
