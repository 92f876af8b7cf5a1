#pragma once
#include <windows.h>

#include "framework/CGdiObject.h"

// An owned pen.
class CPen : public CGdiObject {
public:
    bool CreatePen(int style, int width, COLORREF colour) { return Attach(::CreatePen(style, width, colour)); }
    operator HPEN() const { return static_cast<HPEN>(m_hObject); }
};
