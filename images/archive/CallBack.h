#pragma once
#include <cstdint>

#include "core/col/_array/ArrayP.h"
#include "core/thread/ClassPool.h"
#include "core/thread/IPoolable.h"

namespace s::gui {
class ILabel;
class IProgressBar;
}
namespace s::str::strarray { class StrArray; }

namespace s::archive {

// The progress reporter of long archive work: where status texts and progress go
// (a label and a progress bar, neither owned), a total and a position, and a list
// that keeps a copy of every status text while one is attached (owned).
class CallBack : public base::IObject, public thread::IPoolable {
    S_POOLED_CLASS(CallBack, 1000, L"s_archive_CallBack")
public:
    // Number of the free 32-bit fields after the position.
    static constexpr uint32_t FIELD_COUNT = 6;
    // The field that a reset leaves as it is.
    static constexpr uint32_t KEPT_FIELD = 1;

    CallBack();
    ~CallBack() override;
    CallBack(const CallBack&) = delete;
    CallBack& operator=(const CallBack&) = delete;

    // Widgets forgotten, total 0, position 100, fields back to their defaults except
    // the kept one, pointer list emptied, status list released.
    void reset() override;

    gui::ILabel* statusLabel() const { return statusLabel_; }
    void setStatusLabel(gui::ILabel* label) { statusLabel_ = label; }
    gui::IProgressBar* progressBar() const { return progressBar_; }
    void setProgressBar(gui::IProgressBar* bar) { progressBar_ = bar; }

    int64_t total() const { return total_; }
    void setTotal(int64_t total) { total_ = total; }
    int64_t position() const { return position_; }
    void setPosition(int64_t position) { position_ = position; }

    int32_t field(uint32_t index) const { return index < FIELD_COUNT ? fields_[index] : 0; }
    void setField(uint32_t index, int32_t value) {
        if (index < FIELD_COUNT) fields_[index] = value;
    }
    col::_array::ArrayP& pointers() { return pointers_; }

    str::strarray::StrArray* statusList() const { return statusList_; }
    // The record owns the list from now on (a list attached before is released).
    void setStatusList(str::strarray::StrArray* list);

private:
    gui::ILabel* statusLabel_;
    gui::IProgressBar* progressBar_;
    int64_t total_;
    int64_t position_;
    int32_t fields_[FIELD_COUNT];
    col::_array::ArrayP pointers_;
    str::strarray::StrArray* statusList_;
};

} // namespace s::archive
