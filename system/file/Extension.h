#pragma once
#include <cstdint>

#include "core/base/IObject.h"
#include "core/col/_array/ArrayP.h"
#include "core/thread/ClassPool.h"
#include "core/thread/IPoolable.h"

namespace s::str::strbuffer { class StrBuffer; }

namespace s::file {

class IPath;

// One group of a path list: a key (an extension such as ".mp3", a size class such as
// "102400", or a word) and its member paths. The group does not own the members;
// they stay owned by the list they came from. Compares, tests and hashes as its key.
class Extension : public base::IObject, public thread::IPoolable {
    S_POOLED_CLASS(Extension, 1000, L"s_file_Extension")
public:
    typedef str::strbuffer::StrBuffer StrBuffer;

    Extension();
    ~Extension() override;
    Extension(const Extension&) = delete;
    Extension& operator=(const Extension&) = delete;

    // A group from the pool with the key text.
    static Extension* create(const wchar_t* key);

    void reset() override;

    const StrBuffer* key() const { return key_; }
    const wchar_t* keyText() const;
    void setKey(const wchar_t* key);
    bool addMember(IPath* path);
    uint32_t memberCount() const { return members_ != nullptr ? members_->count() : 0; }
    IPath* memberAt(uint32_t index) const { return static_cast<IPath*>(members_->get(index)); }

    int32_t compareTo(const base::IObject* other, const base::IComparator* comparator = nullptr) const override;
    int32_t compareToIgnoreCase(const base::IObject* other,
                                const base::IComparator* comparator = nullptr) const override;
    bool equals(const base::IObject* other, const base::IComparator* comparator = nullptr) const override;
    bool equalsIgnoreCase(const base::IObject* other, const base::IComparator* comparator = nullptr) const override;
    uint32_t hashCode() const override;
    uint32_t hashCodeIgnoreCase() const override;

    // Orders for sorting groups (s::comp::sortPointers): by key ignoring case, and by
    // member count, fewer first.
    static int32_t compareKeys(const void* a, const void* b, void* userData);
    static int32_t compareCounts(const void* a, const void* b, void* userData);

private:
    StrBuffer* key_;
    col::_array::ArrayP* members_;  // made on the first member
};

} // namespace s::file
