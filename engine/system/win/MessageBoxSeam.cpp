#include "engine/system/win/MessageBoxSeam.h"

#include <atomic>

namespace s::system::win {

namespace {
// One stable address for the system box: &MessageBoxW differs between constant
// initialisation (the import stub) and run time (the import table's entry).
int WINAPI systemBox(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    return MessageBoxW(owner, text, caption, type);
}

std::atomic<MessageBoxSeam::MessageBoxFn> g_messageBox{&systemBox};
std::atomic<HWND> g_owner{nullptr};
} // namespace

HWND MessageBoxSeam::setOwner(HWND owner) {
    return g_owner.exchange(owner);
}

HWND MessageBoxSeam::owner() {
    return g_owner.load();
}

MessageBoxSeam::MessageBoxFn MessageBoxSeam::set(MessageBoxFn fn) {
    return g_messageBox.exchange(fn != nullptr ? fn : &systemBox);
}

MessageBoxSeam::MessageBoxFn MessageBoxSeam::current() {
    return g_messageBox.load();
}

int MessageBoxSeam::show(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) {
    return g_messageBox.load()(owner, text, caption, type);
}

} // namespace s::system::win
