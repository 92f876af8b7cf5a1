#include "framework/CDC.h"

namespace {

int kindOf(HGDIOBJ object) {
    switch (GetObjectType(object)) {
    case OBJ_FONT:
        return 0;
    case OBJ_BITMAP:
        return 1;
    case OBJ_PEN:
    case OBJ_EXTPEN:
        return 2;
    case OBJ_BRUSH:
        return 3;
    default:
        return -1;
    }
}

} // namespace

CDC::~CDC() {
    HDC dc = release();
    if (dc != nullptr && owned_) {
        DeleteDC(dc);
    }
}

bool CDC::CreateCompatibleDC(HDC dc) {
    if (m_hDC != nullptr) {
        return false;
    }
    m_hDC = ::CreateCompatibleDC(dc);
    owned_ = m_hDC != nullptr;
    return owned_;
}

bool CDC::Attach(HDC dc) {
    if (m_hDC != nullptr || dc == nullptr) {
        return false;
    }
    m_hDC = dc;
    owned_ = false;
    return true;
}

HDC CDC::Detach() {
    owned_ = false;
    return release();
}

HGDIOBJ CDC::SelectObject(HGDIOBJ object) {
    if (m_hDC == nullptr || object == nullptr) {
        return nullptr;
    }
    const int kind = kindOf(object);
    HGDIOBJ previous = ::SelectObject(m_hDC, object);
    if (kind >= 0 && original_[kind] == nullptr && previous != nullptr && previous != HGDI_ERROR) {
        original_[kind] = previous;
    }
    return previous == HGDI_ERROR ? nullptr : previous;
}

void CDC::RestoreObjects() {
    for (HGDIOBJ& original : original_) {
        if (original != nullptr) {
            if (m_hDC != nullptr) {
                ::SelectObject(m_hDC, original);
            }
            original = nullptr;
        }
    }
}

HDC CDC::release() {
    RestoreObjects();
    HDC dc = m_hDC;
    m_hDC = nullptr;
    return dc;
}
