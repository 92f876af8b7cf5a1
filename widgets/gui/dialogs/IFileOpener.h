#pragma once
#include "core/base/IObject.h"
#include "core/thread/IPoolable.h"

namespace s::gui { class IWindow; }
namespace s::str::strarray { class StrArray; }

namespace s::gui::dialogs {

// The open or save file dialog, run modally over a window; the answer stays in the object.
class IFileOpener : public base::IObject, public thread::IPoolable {
public:
    static constexpr wchar_t CLASS_NAME[] = L"s_gui_dialogs_IFileOpener";
    const wchar_t* className() const override { return CLASS_NAME; }

    // True when the user confirmed; the results are empty otherwise.
    virtual bool run(IWindow* owner) = 0;
    virtual void setOpenMode(bool multiSelect, bool followLinks) = 0;
    virtual void setSaveMode() = 0;
    virtual const wchar_t* getFirstPath() const = 0;
    // The selected paths in the dialog's order.
    virtual str::strarray::StrArray* getResults() const = 0;
    virtual void setInitialFolder(const wchar_t* folder) = 0;
    virtual void setFileName(const wchar_t* name) = 0;
    virtual void setDefaultExtension(const wchar_t* extension) = 0;
    // Appends one file type: display name and pattern ("*.mp3").
    virtual void addFilter(const wchar_t* name, const wchar_t* pattern) = 0;
};

// The folder browser, run modally over a window.
class IFolderSelector : public base::IObject, public thread::IPoolable {
public:
    static constexpr wchar_t CLASS_NAME[] = L"s_gui_dialogs_IFolderSelector";
    const wchar_t* className() const override { return CLASS_NAME; }

    // startFolder and title may be null; true when a folder was chosen.
    virtual bool run(IWindow* owner, const wchar_t* startFolder, const wchar_t* title) = 0;
    virtual const wchar_t* getPath() const = 0;
};

// The colour dialog, run modally over a window. Colours are packed 0xRRGGBB here, unlike
// the rest of the toolkit: callers convert.
class IColorPicker : public base::IObject, public thread::IPoolable {
public:
    static constexpr wchar_t CLASS_NAME[] = L"s_gui_dialogs_IColorPicker";
    const wchar_t* className() const override { return CLASS_NAME; }

    virtual bool run(IWindow* owner) = 0;
    virtual uint32_t getColor() const = 0;
    virtual int32_t getRed() const = 0;
    virtual int32_t getGreen() const = 0;
    virtual int32_t getBlue() const = 0;
    virtual void setInitialColor(int32_t red, int32_t green, int32_t blue) = 0;
};

} // namespace s::gui::dialogs
