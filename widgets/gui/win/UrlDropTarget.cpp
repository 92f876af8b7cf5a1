#include "widgets/gui/win/UrlDropTarget.h"

#include "core/str/strbuffer/StrBuffer.h"
#include "system/gui/events/IEventListener.h"

namespace s::gui::win {

using str::strbuffer::StrBuffer;

namespace {

FORMATETC urlFormat() {
    return FORMATETC{UrlDropTarget::wideFormat(), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

} // namespace

UrlDropTarget::UrlDropTarget() : text_(StrBuffer::pool()) {}

UrlDropTarget::~UrlDropTarget() {
    Revoke();
    if (text_ != nullptr) {
        text_->release();
    }
}

void UrlDropTarget::reset() {
    Revoke();
    if (text_ != nullptr) {
        text_->clear();
    }
    owner_ = nullptr;
}

CLIPFORMAT UrlDropTarget::wideFormat() {
    static const CLIPFORMAT format = static_cast<CLIPFORMAT>(RegisterClipboardFormatW(L"UniformResourceLocatorW"));
    return format;
}

CLIPFORMAT UrlDropTarget::narrowFormat() {
    static const CLIPFORMAT format = static_cast<CLIPFORMAT>(RegisterClipboardFormatW(L"UniformResourceLocator"));
    return format;
}

DWORD UrlDropTarget::effectFor(IDataObject* data) {
    FORMATETC format = urlFormat();
    return data != nullptr && data->QueryGetData(&format) == S_OK ? DROPEFFECT_LINK : DROPEFFECT_NONE;
}

DWORD UrlDropTarget::OnDragEnter(CWnd*, IDataObject* data, DWORD, POINT) {
    return effectFor(data);
}

DWORD UrlDropTarget::OnDragOver(CWnd*, IDataObject* data, DWORD, POINT) {
    return effectFor(data);
}

bool UrlDropTarget::readUrl(IDataObject* data, StrBuffer* out) {
    out->clear();
    if (data == nullptr) {
        return false;
    }
    FORMATETC format = urlFormat();
    STGMEDIUM medium = {};
    if (data->GetData(&format, &medium) != S_OK) {
        return false;
    }
    bool read = false;
    if (medium.tymed == TYMED_HGLOBAL && medium.hGlobal != nullptr) {
        // The sender need not terminate the text: never read past its memory.
        const SIZE_T units = GlobalSize(medium.hGlobal) / sizeof(wchar_t);
        if (const wchar_t* text = static_cast<const wchar_t*>(GlobalLock(medium.hGlobal))) {
            SIZE_T length = 0;
            while (length < units && text[length] != L'\0') {
                ++length;
            }
            out->appendUnits(text, static_cast<int32_t>(length));
            GlobalUnlock(medium.hGlobal);
            read = true;
        }
    }
    ReleaseStgMedium(&medium);
    return read;
}

BOOL UrlDropTarget::OnDrop(CWnd*, IDataObject* data, DWORD, POINT) {
    if (text_ != nullptr) {
        readUrl(data, text_);
    }
    if (owner_ != nullptr) {
        owner_->onEvent(this, DROPPED);
    }
    return TRUE;
}

} // namespace s::gui::win
