#pragma once
#include <cstdint>

#include "core/base/IObject.h"
#include "core/col/_array/ArrayU08.h"
#include "core/thread/ClassPool.h"
#include "core/thread/IPoolable.h"

namespace s::str::strbuffer { class StrBuffer; }

namespace s::digest::md5 {

// MD5 message digest (RFC 1321). Feed bytes with update(), end with finish(); a
// pooled digester comes back restarted.
//   Md5* md5 = Md5::pool();
//   md5->update(bytes, n);
//   md5->finish(nullptr);
//   StrBuffer* hex = md5->toHex(nullptr, false);   // 32 lower-case digits
//   md5->release();
class Md5 : public base::IObject, public thread::IPoolable {
    S_POOLED_CLASS(Md5, 1000, L"s_digest_md5_Md5")
public:
    static constexpr uint32_t DIGEST_SIZE = 16;

    Md5();

    // Restarts and sizes the digest array to 16 bytes.
    void reset() override;

    uint32_t digestSize() const { return DIGEST_SIZE; }
    // Any length: texts and arrays past 4 GiB are digested whole.
    void update(const void* bytes, uint64_t length);
    // Pads, ends the digest and copies its 16 bytes into out (its count becomes 16), or
    // into the digester's own digest array when out is null. Returns the array written.
    col::_array::ArrayU08* finish(col::_array::ArrayU08* out);
    void restart();
    // The digest array as 32 lower-case hexadecimal digits (out null: a new pooled string).
    str::strbuffer::StrBuffer* toHex(str::strbuffer::StrBuffer* out, bool append) const;

    // The digest written by the last finish(nullptr).
    const col::_array::ArrayU08& digest() const { return digest_; }
    // True once update() ran since the last restart.
    bool used() const { return used_ != 0; }

private:
    void updateSlice(const void* bytes, uint32_t length);
    void transform(const uint8_t block[64]);

    uint8_t used_;
    col::_array::ArrayU08 digest_;
    uint32_t state_[4];
    uint32_t bitCount_[2];
    uint8_t buffer_[64];
};

} // namespace s::digest::md5
