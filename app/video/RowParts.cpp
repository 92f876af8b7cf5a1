#include "app/video/RowParts.h"

#include <algorithm>
#include <cwchar>
#include <string>

#include "app/app/win/AppWindow.h"
#include "app/video/TypedNumber.h"
#include "app/video/VideoList.h"
#include "drawers/gui/drawer/IGroupBox.h"
#include "engine/ffmpeg/FfmpegLocator.h"
#include "system/shell/win/Shell.h"
#include "widgets/gui/IBox.h"
#include "widgets/gui/combobox/ComboBoxItem.h"
#include "widgets/gui/win/Box.h"
#include "widgets/gui/win/ComboBox.h"
#include "widgets/gui/win/GroupBox.h"
#include "widgets/gui/win/Label.h"
#include "widgets/gui/win/MessageBoxW.h"
#include "widgets/gui/win/Spacer.h"
#include "widgets/gui/win/TextField.h"
#include "widgets/gui/win/Window.h"

namespace s::video {

using gui::IBox;
using gui::win::Label;
using gui::win::Spacer;

RowParts::ComboBox* RowParts::newList(Dialog* dialog, const VideoList& rows, ComboBox** ref, int32_t height,
                                      int32_t width) {
    const int32_t s = dialog->uiScale();
    const int32_t h = height >= 0 ? height * s : -1;
    ComboBox* list = width >= 0 ? ComboBox::createWithSize(width * s, h) : ComboBox::createWithWidthPercent(100, h);
    *ref = list;
    if (list != nullptr) {
        list->setEnabled(true);
        rows.fill(list, dialog->localizer());
    }
    return list;
}

RowParts::Box* RowParts::lineBox(int32_t hAlign) {
    return Box::create(IBox::ROW, hAlign, 100, -1, 1, 0, 0, 0, 0);
}

RowParts::Box* RowParts::columnBox() {
    return Box::create(IBox::COLUMN, 0, 100, -1, 0, 0, 0, 0, 0);
}

RowParts::GroupBox* RowParts::frame(Dialog* dialog, int32_t captionId) {
    const int32_t s = dialog->uiScale();
    GroupBox* box = GroupBox::createWithTextId(IBox::COLUMN, 10 * s, 5 * s, 20 * s, 3 * s, 100, captionId);
    if (box != nullptr && box->getDrawer() != nullptr) {
        box->getDrawer()->setColor(238, 238, 238);
    }
    return box;
}

RowParts::Box* RowParts::captioned(Dialog* dialog, int32_t captionId, int32_t fontCode, int32_t gap,
                                   gui::IComponent* child) {
    Box* row = lineBox();
    if (row != nullptr) {
        row->add(Label::createWithTextId(captionId, false, false, fontCode));
        if (gap > 0) {
            row->add(spacer(dialog, 0, gap));
        }
        row->add(child);
    }
    return row;
}

RowParts::ComboBox* RowParts::captionedList(Dialog* dialog, const VideoList& rows, int32_t captionId, ComboBox** ref,
                                            Box** column) {
    ComboBox* list = newList(dialog, rows, ref, 22);
    if (list == nullptr) {
        return nullptr;
    }
    *column = columnBox();
    if (*column != nullptr) {
        (*column)->add(captioned(dialog, captionId, 0, 20, list));
    }
    return list;
}

gui::IComponent* RowParts::storedListRow(Dialog* dialog, const wchar_t* key, const VideoList& rows, int32_t captionId,
                                         ComboBox** ref) {
    Box* column = nullptr;
    ComboBox* list = captionedList(dialog, rows, captionId, ref, &column);
    if (list == nullptr) {
        return nullptr;
    }
    rows.restore(list, dialog->readOption(key, rows.key(), rows.defaultValue()));
    list->addSelectionListener(dialog);
    return column;
}

void RowParts::applyQuality(Dialog* dialog, Setting* record, const wchar_t* key, int32_t value,
                            const TextField* rateField, const TextField* sizeField) {
    if (value >= 1000 && value <= CUSTOM_FILE_SIZE - 1) {
        record->videoBitRate = value;
        return;
    }
    if (value <= 9) {
        record->twoPass = 0;
    }
    if (value == CUSTOM_BIT_RATE) {
        int32_t kbps = 0;
        if (TypedNumber::bitRateKbps(textOf(rateField), &kbps)) {
            dialog->writeOption(key, L"VBitRate", kbps);
            record->videoBitRate = static_cast<int64_t>(kbps) * 1000;
        }
    } else if (value == CUSTOM_FILE_SIZE && sizeField != nullptr) {
        int32_t megabytes = 0;
        if (TypedNumber::fileSizeMb(textOf(sizeField), &megabytes)) {
            dialog->writeOption(key, L"VFileSize", megabytes);
            record->videoQuality = CUSTOM_FILE_SIZE + megabytes;
        }
    } else {
        record->videoQuality = value;
    }
}

RowParts::GroupBox* RowParts::framedListRow(Dialog* dialog, const wchar_t* key, const VideoList& rows,
                                            int32_t captionId, ComboBox** ref, std::initializer_list<CustomLine> lines) {
    ComboBox* list = newList(dialog, rows, ref);
    if (list == nullptr) {
        return nullptr;
    }
    GroupBox* box = frame(dialog, captionId);
    if (box != nullptr) {
        box->add(list);
        for (const CustomLine& custom : lines) {
            box->add(custom.line);
        }
    }
    rows.restore(list, dialog->readOption(key, rows.key(), rows.defaultValue()));
    const int32_t shown = rows.chosenValue(list);
    for (const CustomLine& custom : lines) {
        show(custom.line, shown == custom.value);
    }
    list->addSelectionListener(dialog);
    return box;
}

bool RowParts::storeChoice(Dialog* dialog, const wchar_t* key, const VideoList& rows, ComboBox* list,
                           std::initializer_list<CustomLine> lines, const wchar_t* autoKey, int32_t autoValue) {
    int32_t value = 0;
    if (!rows.acceptChoice(list, &value)) {
        return true;
    }
    if (autoKey != nullptr) {
        dialog->writeOptionBool(key, autoKey, value == autoValue);
    }
    for (const CustomLine& custom : lines) {
        show(custom.line, value == custom.value);
    }
    relayoutWindow(dialog);
    dialog->writeOption(key, rows.key(), value);
    return true;
}

gui::IComponent* RowParts::spacer(Dialog* dialog, int32_t orientation, int32_t size) {
    return Spacer::create(orientation, size * dialog->uiScale());
}

RowParts::TextField* RowParts::field(const wchar_t* text, int32_t fixedHeight, double widthPercent) {
    return TextField::create(text, fixedHeight, widthPercent);
}

void RowParts::putNumber(TextField* field, int64_t value) {
    if (field != nullptr) {
        field->setText(std::to_wstring(value).c_str(), false);
    }
}

const wchar_t* RowParts::textOf(const TextField* field) {
    return field != nullptr ? field->getText() : nullptr;
}

void RowParts::show(Box* block, bool shown) {
    if (block != nullptr) {
        block->setFixedHeight(shown ? -1 : 0);
        block->doLayout();
    }
}

bool RowParts::isShown(const Box* block) {
    return block != nullptr && block->getContentOrFixedHeight() != 0;
}

void RowParts::relayoutWindow(Dialog* dialog) {
    gui::win::Window* window = dialog->window();
    if (window == nullptr) {
        return;
    }
    window->doLayout();
    window->doLayout();
    // Grow both ways, never shrink: to the preferred size, and to what the content now
    // needs, so that a custom line wider than the window is not cut.
    int32_t width = std::max(window->getWidth(), window->getPreferredWidth());
    int32_t height = std::max(window->getHeight(), window->getPreferredHeight());
    for (int32_t i = 0; i < window->getChildCount(); ++i) {
        const gui::IComponent* child = window->getChildAt(i);
        width = std::max(width, child->getPreferredWidth() + window->getBorderWidth());
        height = std::max(height, child->getPreferredHeight() + window->getBorderHeight());
    }
    // ... but not past the work area of the window's monitor.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (GetMonitorInfoW(MonitorFromWindow(window->getFrameHandle(), MONITOR_DEFAULTTONEAREST), &monitor)) {
        width = std::min(width, std::max<int32_t>(window->getWidth(), monitor.rcWork.right - monitor.rcWork.left));
        height = std::min(height, std::max<int32_t>(window->getHeight(), monitor.rcWork.bottom - monitor.rcWork.top));
    }
    if (width != window->getWidth() || height != window->getHeight()) {
        window->setSize(width, height);
    }
}

bool RowParts::externalUsable() {
    return ffmpeg::locateFfmpegExecutable(nullptr, nullptr, nullptr);
}

bool RowParts::isWebAddress(const wchar_t* text) {
    return text != nullptr && (_wcsnicmp(text, L"http://", 7) == 0 || _wcsnicmp(text, L"https://", 8) == 0) &&
           wcslen(text) > 8;
}

void RowParts::refuseExternalChoice(Dialog* dialog, ComboBox* list) {
    if (list != nullptr && list->getPreviousIndex() >= 0) {
        list->setSelectedIndex(list->getPreviousIndex(), false);
    }
    // A top-most window would hide the box.
    const bool onTop = dialog->record() != nullptr && dialog->record()->keepOnTop();
    HWND frame = dialog->window() != nullptr ? dialog->window()->getFrameHandle() : nullptr;
    if (onTop && frame != nullptr) {
        SetWindowPos(frame, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    }
    const wchar_t* message = dialog->textOf(TEXT_NEEDS_EXTERNAL);
    gui::win::MessageBoxW::showInformationBox(message != nullptr && *message != 0 ? message : NEEDS_EXTERNAL);
    if (onTop && frame != nullptr) {
        SetWindowPos(frame, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    }
    // The help text may be empty or anything else in a pack: only a web page opens.
    const std::wstring page = dialog->textOf(TEXT_EXTERNAL_PAGE) != nullptr ? dialog->textOf(TEXT_EXTERNAL_PAGE) : L"";
    if (isWebAddress(page.c_str())) {
        shell::win::shellOpen(page.c_str());
    }
}

int32_t RowParts::selectedValue(const gui::IComboBox* list, int32_t def) {
    const gui::combobox::ComboBoxItem* item = list != nullptr ? list->getSelectedItem() : nullptr;
    return item != nullptr ? item->value : def;
}

} // namespace s::video
