#pragma once
#include <windows.h>

// A GDI object (font, brush, pen, bitmap, region) owned for the holder's scope: the
// object made or attached is deleted when the holder goes or gets another.
class CGdiObject {
public:
    CGdiObject() = default;
    virtual ~CGdiObject() { DeleteObject(); }
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    // Takes ownership of object (the previous one is deleted).
    bool Attach(HGDIOBJ object) {
        DeleteObject();
        m_hObject = object;
        return object != nullptr;
    }
    // Gives up ownership; answers the object.
    HGDIOBJ Detach() {
        HGDIOBJ object = m_hObject;
        m_hObject = nullptr;
        return object;
    }
    bool DeleteObject() {
        if (m_hObject == nullptr) {
            return false;
        }
        const bool deleted = ::DeleteObject(m_hObject) != FALSE;
        m_hObject = nullptr;
        return deleted;
    }
    HGDIOBJ GetSafeHandle() const { return m_hObject; }

    HGDIOBJ m_hObject = nullptr;
};
