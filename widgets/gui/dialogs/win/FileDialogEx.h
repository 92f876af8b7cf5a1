#pragma once
#include <string>

#include "framework/CFileDialog.h"

namespace s::gui::dialogs::win {

// The file dialog of the opener: in a save dialog a change of the file type gives the
// typed name the extension of the chosen type.
class FileDialogEx : public CFileDialog {
public:
    // The control id of the file-name box.
    static constexpr int FILE_NAME_BOX = 1148;

    using CFileDialog::CFileDialog;

    // name with the extension of the filter's type (counted from 1): false, and out left
    // alone, when the name is empty or the type has no single extension ("*.*").
    static bool nameForType(const wchar_t* filter, int32_t typeIndex, const wchar_t* name, std::wstring* out);

protected:
    void OnTypeChange() override;
};

} // namespace s::gui::dialogs::win
