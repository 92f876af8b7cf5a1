#pragma once
#include <windows.h>

#include "framework/CGdiObject.h"

// An owned brush.
class CBrush : public CGdiObject {
public:
    bool CreateSolidBrush(COLORREF colour) { return Attach(::CreateSolidBrush(colour)); }
    operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }
};
