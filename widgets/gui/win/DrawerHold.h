#pragma once

namespace s::gui::win {

// A widget's drawer: one the skin lends (not owned) or one handed over (owned, given back
// to its pool when replaced or dropped).
template <class D>
class DrawerHold {
public:
    DrawerHold() = default;
    ~DrawerHold() { drop(); }
    DrawerHold(const DrawerHold&) = delete;
    DrawerHold& operator=(const DrawerHold&) = delete;

    void set(D* drawer, bool owned) {
        if (drawer != drawer_) {
            drop();
        }
        drawer_ = drawer;
        owned_ = owned && drawer != nullptr;
    }
    void drop() {
        if (owned_ && drawer_ != nullptr) {
            drawer_->release();
        }
        drawer_ = nullptr;
        owned_ = false;
    }
    D* get() const { return drawer_; }
    bool owned() const { return owned_; }
    D* operator->() const { return drawer_; }
    explicit operator bool() const { return drawer_ != nullptr; }

private:
    D* drawer_ = nullptr;
    bool owned_ = false;
};

} // namespace s::gui::win
