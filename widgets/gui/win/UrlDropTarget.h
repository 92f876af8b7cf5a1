#pragma once
#include <windows.h>
#include <ole2.h>

#include <cstdint>

#include "core/base/IObject.h"
#include "core/thread/ClassPool.h"
#include "core/thread/IPoolable.h"
#include "framework/COleDropTarget.h"

namespace s::str::strbuffer { class StrBuffer; }
namespace s::gui::events { class IEventListener; }

namespace s::gui::win {

// The OLE drop target of a box that accepts web addresses dragged from a browser: it
// offers a link for data carrying "UniformResourceLocatorW", reads that text on a drop
// and tells its owner with event DROPPED (the text is then in text()).
class UrlDropTarget : public COleDropTarget, public base::IObject, public thread::IPoolable {
    S_POOLED_CLASS(UrlDropTarget, 1000, L"s_gui_win_UrlDropTarget")
public:
    static constexpr int32_t DROPPED = 3;

    ~UrlDropTarget() override;
    // Revokes the registration and forgets owner and text.
    void reset() override;

    void setOwner(events::IEventListener* owner) { owner_ = owner; }
    const str::strbuffer::StrBuffer* text() const { return text_; }

    // Reads the wide URL text of data into out (emptied first): at most the memory's
    // size, up to its first NUL. False when data carries no such text.
    static bool readUrl(IDataObject* data, str::strbuffer::StrBuffer* out);
    // The registered clipboard formats "UniformResourceLocatorW" and "UniformResourceLocator".
    static CLIPFORMAT wideFormat();
    static CLIPFORMAT narrowFormat();

    DWORD OnDragEnter(CWnd* wnd, IDataObject* data, DWORD keyState, POINT point) override;
    DWORD OnDragOver(CWnd* wnd, IDataObject* data, DWORD keyState, POINT point) override;
    // Always reports success; data without the format gives an empty text.
    BOOL OnDrop(CWnd* wnd, IDataObject* data, DWORD effect, POINT point) override;

private:
    UrlDropTarget();
    static DWORD effectFor(IDataObject* data);

    str::strbuffer::StrBuffer* text_;
    events::IEventListener* owner_ = nullptr;
};

} // namespace s::gui::win
