#include "drawers/gui/drawer/Themes.h"

#include "drawers/gui/drawer/Skinner.h"
#include "drawers/gui/drawer/button/win/Thin.h"
#include "drawers/gui/drawer/checkbox/win/Thin.h"
#include "drawers/gui/drawer/combo/win/Thin.h"
#include "drawers/gui/drawer/counter/win/Basic.h"
#include "drawers/gui/drawer/groupbox/win/Thin.h"
#include "drawers/gui/drawer/listbox/win/Thin.h"
#include "drawers/gui/drawer/listheader/win/Thin.h"
#include "drawers/gui/drawer/menu/win/Basic.h"
#include "drawers/gui/drawer/radiobutton/win/Thin.h"
#include "drawers/gui/drawer/scrollbar/win/Thin.h"
#include "drawers/gui/drawer/skin/Thin.h"
#include "drawers/gui/drawer/skin/ThinWindow.h"
#include "drawers/gui/drawer/slider/win/Thin.h"
#include "drawers/gui/drawer/statusbar/win/Thin.h"
#include "drawers/gui/drawer/tabbox/win/Thin.h"
#include "drawers/gui/drawer/text/win/Basic.h"
#include "drawers/gui/drawer/window/win/Thin.h"
#include "drawers/gui/win/FontSetting.h"

namespace s::gui::drawer {

namespace {

int32_t R(COLORREF c) {
    return GetRValue(c);
}
int32_t G(COLORREF c) {
    return GetGValue(c);
}
int32_t B(COLORREF c) {
    return GetBValue(c);
}

void textColour(gui::win::FontSetting* setting, COLORREF c) {
    if (setting != nullptr) {
        setting->setTextColour(R(c), G(c), B(c));
    }
}

struct ThinScheme {
    const wchar_t* name;
    COLORREF c[Themes::THIN_COLOURS];
};

const ThinScheme THIN[Themes::THIN_SCHEMES] = {
    {L"White", {RGB(255, 255, 255), RGB(68, 68, 68), RGB(0, 0, 0), RGB(119, 119, 119), RGB(176, 176, 176), RGB(255, 165, 0)}},
    {L"Light Gray", {RGB(240, 238, 228), RGB(0, 0, 0), RGB(0, 0, 0), RGB(176, 176, 176), RGB(176, 176, 176), RGB(255, 165, 0)}},
    {L"Black", {RGB(51, 51, 51), RGB(176, 176, 176), RGB(255, 255, 255), RGB(176, 176, 176), RGB(213, 235, 107), RGB(255, 165, 0)}},
    {L"Ivory", {RGB(236, 233, 216), RGB(0, 0, 0), RGB(0, 0, 0), RGB(168, 162, 128), RGB(168, 162, 128), RGB(255, 165, 0)}},
    {L"Sky Blue", {RGB(255, 255, 255), RGB(87, 133, 255), RGB(0, 0, 0), RGB(87, 133, 255), RGB(87, 133, 255), RGB(255, 165, 0)}},
    {L"Pink", {RGB(255, 255, 255), RGB(255, 93, 162), RGB(0, 0, 0), RGB(255, 93, 162), RGB(255, 93, 162), RGB(255, 165, 0)}},
    {L"Green", {RGB(255, 255, 255), RGB(143, 175, 17), RGB(0, 51, 0), RGB(143, 175, 17), RGB(143, 175, 17), RGB(255, 165, 0)}},
    {L"Green2", {RGB(213, 235, 107), RGB(0, 0, 0), RGB(0, 0, 0), RGB(0, 0, 0), RGB(0, 0, 0), RGB(255, 165, 0)}},
    {L"Yellow", {RGB(255, 255, 255), RGB(224, 206, 0), RGB(0, 0, 0), RGB(224, 206, 0), RGB(224, 206, 0), RGB(255, 165, 0)}},
    {L"Orange", {RGB(255, 255, 255), RGB(221, 135, 2), RGB(0, 0, 0), RGB(221, 135, 2), RGB(221, 135, 2), RGB(255, 165, 0)}},
    {L"Khaki", {RGB(62, 92, 0), RGB(146, 185, 65), RGB(255, 255, 255), RGB(221, 135, 2), RGB(221, 135, 2), RGB(255, 165, 0)}},
    {L"Indigo", {RGB(75, 0, 130), RGB(192, 125, 255), RGB(255, 255, 255), RGB(192, 125, 255), RGB(192, 125, 255), RGB(255, 165, 0)}},
    {L"Salmon Red", {RGB(255, 48, 92), RGB(255, 189, 203), RGB(255, 255, 255), RGB(255, 189, 203), RGB(255, 189, 203), RGB(255, 165, 0)}},
};

struct ThinWindowScheme {
    int32_t id;
    const wchar_t* name;
    COLORREF c[Themes::THIN_WINDOW_COLOURS];
};

// One row per theme id, in the order the "ThinWindow" skinner lists them.
const ThinWindowScheme THIN_WINDOW[Themes::THIN_WINDOW_SCHEMES] = {
    {3, L"White", {RGB(255, 255, 255), RGB(68, 68, 68), RGB(204, 204, 204), RGB(68, 68, 68), RGB(68, 68, 68), RGB(0, 0, 0), RGB(238, 238, 238), RGB(119, 119, 119), RGB(119, 119, 119), RGB(255, 255, 255), RGB(255, 255, 255), RGB(0, 0, 0), RGB(238, 238, 238), RGB(119, 119, 119), RGB(255, 165, 0)}},
    {2, L"Ivory", {RGB(242, 240, 230), RGB(0, 0, 0), RGB(170, 170, 170), RGB(0, 0, 0), RGB(0, 0, 0), RGB(0, 0, 0), RGB(238, 238, 238), RGB(176, 176, 176), RGB(176, 176, 176), RGB(240, 238, 228), RGB(255, 255, 255), RGB(0, 0, 0), RGB(238, 238, 238), RGB(176, 176, 176), RGB(255, 165, 0)}},
    {1, L"Black", {RGB(51, 51, 51), RGB(85, 85, 85), RGB(85, 85, 85), RGB(176, 176, 176), RGB(176, 176, 176), RGB(255, 255, 255), RGB(51, 51, 51), RGB(153, 153, 153), RGB(204, 204, 204), RGB(0, 0, 0), RGB(255, 255, 255), RGB(0, 0, 0), RGB(238, 238, 238), RGB(213, 235, 107), RGB(255, 165, 0)}},
    {16, L"Black II", {RGB(51, 51, 51), RGB(85, 85, 85), RGB(85, 85, 85), RGB(176, 176, 176), RGB(176, 176, 176), RGB(221, 221, 221), RGB(51, 51, 51), RGB(153, 153, 153), RGB(204, 204, 204), RGB(0, 0, 0), RGB(255, 255, 255), RGB(0, 0, 0), RGB(238, 238, 238), RGB(213, 235, 107), RGB(255, 165, 0)}},
    {17, L"Black Black", {RGB(0, 0, 0), RGB(51, 51, 51), RGB(51, 51, 51), RGB(176, 176, 176), RGB(176, 176, 176), RGB(255, 255, 255), RGB(51, 51, 51), RGB(153, 153, 153), RGB(204, 204, 204), RGB(0, 0, 0), RGB(255, 255, 255), RGB(0, 0, 0), RGB(238, 238, 238), RGB(213, 235, 107), RGB(255, 165, 0)}},
    {18, L"Black Black II", {RGB(0, 0, 0), RGB(51, 51, 51), RGB(51, 51, 51), RGB(176, 176, 176), RGB(176, 176, 176), RGB(221, 221, 221), RGB(51, 51, 51), RGB(153, 153, 153), RGB(204, 204, 204), RGB(0, 0, 0), RGB(255, 255, 255), RGB(0, 0, 0), RGB(238, 238, 238), RGB(213, 235, 107), RGB(255, 165, 0)}},
    {19, L"Classic LG", {RGB(116, 116, 116), RGB(17, 17, 17), RGB(86, 86, 86), RGB(17, 17, 17), RGB(17, 17, 17), RGB(255, 255, 255), RGB(51, 51, 51), RGB(116, 116, 116), RGB(25, 25, 25), RGB(255, 255, 255), RGB(49, 49, 49), RGB(191, 191, 191), RGB(56, 56, 56), RGB(195, 234, 0), RGB(25, 25, 25)}},
    {4, L"Beige", {RGB(236, 233, 216), RGB(0, 0, 0), RGB(170, 170, 170), RGB(0, 0, 0), RGB(0, 0, 0), RGB(0, 0, 0), RGB(238, 238, 238), RGB(168, 162, 128), RGB(168, 162, 128), RGB(236, 233, 216), RGB(255, 255, 255), RGB(0, 0, 0), RGB(238, 238, 238), RGB(168, 162, 128), RGB(255, 165, 0)}},
    {6, L"Sky Blue", {RGB(194, 223, 255), RGB(87, 133, 255), RGB(87, 133, 255), RGB(87, 133, 255), RGB(87, 133, 255), RGB(0, 0, 0), RGB(238, 238, 238), RGB(87, 133, 255), RGB(87, 133, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(0, 0, 0), RGB(238, 238, 238), RGB(87, 133, 255), RGB(255, 165, 0)}},
    {8, L"Pink", {RGB(255, 194, 230), RGB(255, 93, 162), RGB(255, 93, 162), RGB(255, 93, 162), RGB(255, 93, 162), RGB(0, 0, 0), RGB(238, 238, 238), RGB(255, 93, 162), RGB(255, 93, 162), RGB(255, 255, 255), RGB(255, 255, 255), RGB(0, 0, 0), RGB(238, 238, 238), RGB(255, 48, 92), RGB(255, 165, 0)}},
    {9, L"Salmon Red", {RGB(255, 48, 92), RGB(255, 189, 203), RGB(255, 189, 203), RGB(255, 189, 203), RGB(255, 189, 203), RGB(255, 255, 255), RGB(51, 51, 51), RGB(255, 189, 203), RGB(255, 189, 203), RGB(255, 48, 92), RGB(255, 255, 255), RGB(0, 0, 0), RGB(238, 238, 238), RGB(255, 194, 230), RGB(255, 165, 0)}},
    {7, L"Yellow", {RGB(252, 255, 91), RGB(224, 206, 0), RGB(224, 206, 0), RGB(224, 206, 0), RGB(224, 206, 0), RGB(0, 0, 0), RGB(238, 238, 238), RGB(224, 206, 0), RGB(224, 206, 0), RGB(255, 255, 255), RGB(255, 255, 255), RGB(0, 0, 0), RGB(238, 238, 238), RGB(168, 255, 83), RGB(255, 165, 0)}},
    {10, L"Green", {RGB(184, 255, 61), RGB(129, 160, 7), RGB(129, 160, 7), RGB(129, 160, 7), RGB(129, 160, 7), RGB(0, 0, 0), RGB(238, 238, 238), RGB(143, 175, 17), RGB(143, 175, 17), RGB(255, 255, 255), RGB(255, 255, 255), RGB(0, 0, 0), RGB(238, 238, 238), RGB(143, 175, 17), RGB(255, 165, 0)}},
    {13, L"Orange", {RGB(255, 207, 61), RGB(221, 135, 2), RGB(221, 135, 2), RGB(221, 135, 2), RGB(221, 135, 2), RGB(0, 0, 0), RGB(238, 238, 238), RGB(221, 135, 2), RGB(221, 135, 2), RGB(255, 255, 255), RGB(255, 255, 255), RGB(0, 0, 0), RGB(238, 238, 238), RGB(255, 255, 255), RGB(255, 165, 0)}},
    {11, L"Khaki", {RGB(62, 92, 0), RGB(146, 185, 65), RGB(146, 185, 65), RGB(146, 185, 65), RGB(146, 185, 65), RGB(255, 255, 255), RGB(51, 51, 51), RGB(221, 135, 2), RGB(221, 135, 2), RGB(62, 92, 0), RGB(255, 255, 255), RGB(0, 0, 0), RGB(238, 238, 238), RGB(213, 235, 107), RGB(255, 165, 0)}},
    {12, L"Indigo", {RGB(49, 0, 130), RGB(192, 125, 255), RGB(192, 125, 255), RGB(192, 125, 255), RGB(192, 125, 255), RGB(255, 255, 255), RGB(51, 51, 51), RGB(195, 158, 255), RGB(195, 158, 255), RGB(49, 0, 130), RGB(255, 255, 255), RGB(0, 0, 0), RGB(238, 238, 238), RGB(192, 125, 255), RGB(255, 165, 0)}},
};

window::win::Thin* windowFrame(COLORREF frame, COLORREF background) {
    window::win::Thin* drawer = window::win::Thin::pool();
    if (drawer != nullptr) {
        drawer->setFrameColor(R(frame), G(frame), B(frame));
        drawer->setBackgroundColor(R(background), G(background), B(background));
        drawer->setTopCorners(0);
        drawer->setBottomCorners(0);
    }
    return drawer;
}

template <class T>
T* coloured(T* drawer, COLORREF c) {
    if (drawer != nullptr) {
        drawer->setColor(R(c), G(c), B(c));
    }
    return drawer;
}

} // namespace

ISkin* Themes::buildThinSkin(const wchar_t* name, const COLORREF (&c)[THIN_COLOURS]) {
    skin::Thin* skin = skin::Thin::pool();
    if (skin == nullptr) {
        return nullptr;
    }
    skin->setName(name);
    skin->setWindow(windowFrame(c[1], c[0]));
    if (button::win::Thin* button = button::win::Thin::newThinButton(R(c[1]), G(c[1]), B(c[1]))) {
        textColour(button->getNormalFontSetting(), c[2]);
        textColour(button->getDisabledFontSetting(), c[2]);
        skin->setButton(button);
    }
    if (text::win::Basic* text = text::win::Basic::pool()) {
        textColour(text->getNormalFontSetting(), c[2]);
        textColour(text->getDisabledFontSetting(), c[2]);
        skin->setText(text);
    }
    skin->setScrollBar(scrollbar::win::Thin::newScrollBarDrawer(15, c[1], c[0]));
    if (checkbox::win::Thin* check = checkbox::win::Thin::newCheckBoxDrawer(c[1], c[2])) {
        check->setDisabledTextColor(R(c[2]), G(c[2]), B(c[2]));
        skin->setCheckBox(check);
    }
    if (radiobutton::win::Thin* radio = radiobutton::win::Thin::newRadioButtonDrawer(c[1], c[2])) {
        radio->setDisabledTextColor(R(c[2]), G(c[2]), B(c[2]));
        skin->setRadioButton(radio);
    }
    skin->setSlider(slider::win::Thin::newSliderDrawer(c[1], c[3]));
    skin->setCounter(counter::win::Basic::newCounterDrawer(c[4], c[5]));
    if (listheader::win::Thin* header = listheader::win::Thin::newListHeaderDrawer(c[1], c[0])) {
        header->setCaptionColor(R(c[2]), G(c[2]), B(c[2]));
        skin->setListHeader(header);
    }
    skin->setListBox(listbox::win::Thin::newListBoxDrawer(c[0], c[2], c[1], c[0], RGB(243, 243, 243)));
    skin->setStatusBar(coloured(statusbar::win::Thin::pool(), c[1]));
    skin->setMenu(menu::win::Basic::newMenuDrawer(c[2], c[1], c[0]));
    if (combo::win::Thin* combo =
            combo::win::Thin::newComboDrawer(R(c[2]), G(c[2]), B(c[2]), R(c[1]), G(c[1]), B(c[1]))) {
        combo->setDisabledTextColor(R(c[2]), G(c[2]), B(c[2]));
        skin->setCombo(combo);
    }
    if (groupbox::win::Thin* group = coloured(groupbox::win::Thin::pool(), c[1])) {
        textColour(group->getNormalFontSetting(), c[2]);
        textColour(group->getDisabledFontSetting(), c[2]);
        skin->setGroupBox(group);
    }
    skin->setTabBox(coloured(tabbox::win::Thin::pool(), c[1]));
    return skin;
}

ISkin* Themes::buildThinWindowSkin(const wchar_t* name, const COLORREF (&c)[THIN_WINDOW_COLOURS]) {
    skin::ThinWindow* skin = skin::ThinWindow::pool();
    if (skin == nullptr) {
        return nullptr;
    }
    skin->setName(name);
    skin->setWindow(windowFrame(c[1], c[0]));
    if (button::win::Thin* button = button::win::Thin::newThinButton(R(c[3]), G(c[3]), B(c[3]))) {
        button->setDisabledFrameColor(R(c[2]), G(c[2]), B(c[2]));
        button->setToggledFrameColor(R(c[3]), G(c[3]), B(c[3]));
        button->setFillColor(R(c[8]), G(c[8]), B(c[8]));
        textColour(button->getNormalFontSetting(), c[5]);
        textColour(button->getDisabledFontSetting(), c[2]);
        textColour(button->getSecondFontSetting(), c[9]);
        skin->setButton(button);
    }
    if (text::win::Basic* text = text::win::Basic::pool()) {
        gui::win::FontSetting* normal = text->getNormalFontSetting();
        textColour(normal, c[5]);
        normal->setSecondaryColour(R(c[0]), G(c[0]), B(c[0]));
        normal->setTertiaryColour(R(c[6]), G(c[6]), B(c[6]));
        textColour(text->getDisabledFontSetting(), c[2]);
        textColour(text->getThirdFontSetting(), c[5]);
        textColour(text->getFourthFontSetting(), c[3]);
        skin->setText(text);
    }
    skin->setScrollBar(scrollbar::win::Thin::newScrollBarDrawer(15, c[3], c[7]));
    if (checkbox::win::Thin* check = checkbox::win::Thin::newCheckBoxDrawer(c[3], c[5])) {
        check->setDisabledTextColor(R(c[2]), G(c[2]), B(c[2]));
        skin->setCheckBox(check);
    }
    if (radiobutton::win::Thin* radio = radiobutton::win::Thin::newRadioButtonDrawer(c[3], c[5])) {
        radio->setDisabledTextColor(R(c[2]), G(c[2]), B(c[2]));
        skin->setRadioButton(radio);
    }
    if (slider::win::Thin* slider = slider::win::Thin::newSliderDrawer(c[3], c[7])) {
        slider->setDisabledColor(R(c[2]), G(c[2]), B(c[2]));
        skin->setSlider(slider);
    }
    skin->setCounter(counter::win::Basic::newCounterDrawer(c[13], c[14]));
    if (listheader::win::Thin* header = listheader::win::Thin::newListHeaderDrawer(c[3], c[8])) {
        header->setCaptionColor(R(c[9]), G(c[9]), B(c[9]));
        skin->setListHeader(header);
    }
    skin->setListBox(listbox::win::Thin::newListBoxDrawer(c[10], c[11], c[8], c[9], c[12]));
    skin->setStatusBar(coloured(statusbar::win::Thin::pool(), c[3]));
    if (menu::win::Basic* menu = menu::win::Basic::newMenuDrawer(c[5], c[3], c[0])) {
        if (ICombo* combo = menu->getComboDrawer()) {
            combo->setTextColor(R(c[5]), G(c[5]), B(c[5]));
            combo->setFrameColor(R(c[3]), G(c[3]), B(c[3]));
            combo->setDisabledTextColor(R(c[5]), G(c[5]), B(c[5]));
        }
        skin->setMenu(menu);
    }
    if (combo::win::Thin* combo =
            combo::win::Thin::newComboDrawer(R(c[5]), G(c[5]), B(c[5]), R(c[3]), G(c[3]), B(c[3]))) {
        combo->setDisabledTextColor(R(c[5]), G(c[5]), B(c[5]));
        skin->setCombo(combo);
    }
    if (groupbox::win::Thin* group = coloured(groupbox::win::Thin::pool(), c[4])) {
        textColour(group->getNormalFontSetting(), c[5]);
        textColour(group->getDisabledFontSetting(), c[5]);
        skin->setGroupBox(group);
    }
    if (tabbox::win::Thin* tabs = coloured(tabbox::win::Thin::pool(), c[3])) {
        textColour(tabs->getNormalFontSetting(), c[5]);
        textColour(tabs->getDisabledFontSetting(), c[5]);
        textColour(tabs->getSecondFontSetting(), c[5]);
        skin->setTabBox(tabs);
    }
    return skin;
}

ISkin* Themes::thinWindowSchemeById(int32_t id) {
    for (const ThinWindowScheme& scheme : THIN_WINDOW) {
        if (scheme.id == id) {
            return buildThinWindowSkin(scheme.name, scheme.c);
        }
    }
    return nullptr;
}

void Themes::addThinSchemes(Skinner* skinner) {
    for (const ThinScheme& scheme : THIN) {
        skinner->addSkin(buildThinSkin(scheme.name, scheme.c));
    }
}

void Themes::addThinWindowSchemes(Skinner* skinner) {
    for (const ThinWindowScheme& scheme : THIN_WINDOW) {
        skinner->addSkin(thinWindowSchemeById(scheme.id));
    }
}

} // namespace s::gui::drawer
