#pragma once
#include <cstdint>

#include "core/io/IInputStream.h"
#include "core/io/IOutputStream.h"
#include "core/str/IStr.h"
#include "core/thread/ClassPool.h"

namespace s::str::strbuffer {

// The system's string: a pooled, growable buffer of UTF-16 units, which is also a
// byte input and output stream over its own contents (one shared position, in bytes).
//
//   StrBuffer* s = StrBuffer::fromText(L"abc");   // or StrBuffer::pool(): empty
//   s->append(L"def")->appendChar(L'!')->appendInt32(42);
//   use(s->c_str());
//   s->release();                                 // back to the pool, never delete
//
// The storage always has one unit more than the capacity, for the NUL that
// terminate()/c_str() write on demand. Idle strings hold no storage. Element
// accessors (charAt, unitAt) do not check indexes. Ignoring case folds ASCII only.
class StrBuffer final : public IStr, public io::IInputStream, public io::IOutputStream {
    S_POOLED_CLASS(StrBuffer, 1000, L"s_str_strbuffer_StrBuffer")
public:
    // A search bound meaning "the whole text".
    static constexpr uint32_t END = 16777215;

    StrBuffer();
    ~StrBuffer() override;
    StrBuffer(const StrBuffer&) = delete;
    StrBuffer& operator=(const StrBuffer&) = delete;

    // A pooled copy of a NUL-terminated text (null gives an empty string).
    static StrBuffer* fromText(const wchar_t* text);
    // A pooled string holding a followed by b.
    static StrBuffer* fromConcat(const wchar_t* a, const wchar_t* b);
    // dir + "\" + name, and dir + "\" + name + ".lnk", as new pooled strings.
    static StrBuffer* joinPath(const wchar_t* dir, const wchar_t* name);
    static StrBuffer* shortcutPath(const wchar_t* dir, const wchar_t* name);
    // The order of compareToIgnoreCase: ASCII-folded units, then the shorter first.
    static int32_t compareIgnoringCaseThenLength(const StrBuffer* a, const StrBuffer* b);

    // IObject: byte order of the storage, then length; hash over the units.
    int32_t compareTo(const base::IObject* other, const base::IComparator* comparator = nullptr) const override;
    int32_t compareToIgnoreCase(const base::IObject* other, const base::IComparator* comparator = nullptr) const override;
    bool equals(const base::IObject* other, const base::IComparator* comparator = nullptr) const override;
    bool equalsIgnoreCase(const base::IObject* other, const base::IComparator* comparator = nullptr) const override;
    uint32_t hashCode() const override;
    uint32_t hashCodeIgnoreCase() const override;

    // Pool reset: frees the storage.
    void reset() override;

    // Writes a NUL at index length (when there is storage).
    void terminate() const override;
    uint32_t length() const override { return length_; }
    // Sets the length field only; callers keep it within the capacity.
    void setLength(uint32_t n) override { length_ = n; }
    uint32_t capacity() const override { return capacity_; }

    // Resizing answers false when the storage cannot be had (the text is unchanged).
    bool reserveExact(uint32_t n) override;
    bool grow() override;
    bool reserve(uint32_t n) override;
    // Length and position 0, storage kept.
    void clear() override;
    // Storage freed, all fields 0.
    void freeStorage() override;
    // Raw storage; null before the first reservation.
    wchar_t* data() const override { return units_; }
    // The terminated text; "" when empty (no allocation). Valid until the next change.
    const wchar_t* c_str() const override;

    StrBuffer* reverse() override;
    StrBuffer* toLowerCase() override;
    StrBuffer* toUpperCase() override;
    // Lower-case everything, then upper-case a first unit a to z.
    StrBuffer* capitalize() override;

    wchar_t charAt(uint32_t i) const override { return units_[i]; }
    wchar_t charLowerAt(uint32_t i) const override;
    wchar_t charUpperAt(uint32_t i) const override;

    // Forward searches start at `from`; backward ones look below `before` (END: all).
    bool indexOf(wchar_t ch, uint32_t from, uint32_t* at = nullptr) const override;
    bool indexOfIgnoreCase(wchar_t ch, uint32_t from, uint32_t* at = nullptr) const override;
    bool indexOfAny(const wchar_t* set, int32_t count, uint32_t from, uint32_t* at = nullptr) const override;
    bool indexOfAnyIgnoreCase(const wchar_t* set, int32_t count, uint32_t from, uint32_t* at = nullptr) const override;
    bool lastIndexOf(wchar_t ch, uint32_t before, uint32_t* at = nullptr) const override;
    bool lastIndexOfIgnoreCase(wchar_t ch, uint32_t before, uint32_t* at = nullptr) const override;
    bool lastIndexOfAny(const wchar_t* set, int32_t count, uint32_t before, uint32_t* at = nullptr) const override;
    bool lastIndexOfAnyIgnoreCase(const wchar_t* set, int32_t count, uint32_t before, uint32_t* at = nullptr) const override;
    // An empty pattern or an empty text is never found.
    bool indexOfText(const wchar_t* text, uint32_t from, uint32_t* at = nullptr) const override;
    bool indexOfTextIgnoreCase(const wchar_t* text, uint32_t from, uint32_t* at = nullptr) const override;
    // The match must end at or below `before`.
    bool lastIndexOfText(const wchar_t* text, uint32_t before, uint32_t* at = nullptr) const override;
    bool lastIndexOfTextIgnoreCase(const wchar_t* text, uint32_t before, uint32_t* at = nullptr) const override;

    // True when text[textOffset .. textOffset + count) equals the units from index.
    // count -1: the rest of text from textOffset, which must then reach exactly the
    // end of this string.
    bool regionMatches(uint32_t index, const wchar_t* text, uint32_t textOffset, int32_t count) const override;
    bool regionMatchesIgnoreCase(uint32_t index, const wchar_t* text, uint32_t textOffset, int32_t count) const override;
    bool endsWith(const wchar_t* text, int32_t count = -1) const override;
    bool endsWithIgnoreCase(const wchar_t* text, int32_t count = -1) const override;
    bool startsWith(const wchar_t* text, int32_t count = -1) const override;
    bool startsWithIgnoreCase(const wchar_t* text, int32_t count = -1) const override;

    // The default set is space, LF, U+3000, tab and CR; a set with count -1 is
    // NUL-terminated. The Keeping forms never shorten below minLength.
    StrBuffer* trimEnd() override;
    StrBuffer* trimEndKeeping(uint32_t minLength) override;
    StrBuffer* trimEndSet(const wchar_t* set, int32_t count) override;
    StrBuffer* trimEndSetKeeping(const wchar_t* set, uint32_t minLength, int32_t count) override;
    StrBuffer* trimStart() override;
    StrBuffer* trimStartSet(const wchar_t* set, int32_t count) override;
    // Convenience: both ends with the default set.
    StrBuffer* trim() { return trimEnd()->trimStart(); }

    // wcsncmp of the units from index with text + textOffset over count units (-1:
    // up to the NULs); -1 when index is past the length.
    int32_t compareRegion(uint32_t index, const wchar_t* text, uint32_t textOffset, int32_t count) const override;
    int32_t compareRegionIgnoreCase(uint32_t index, const wchar_t* text, uint32_t textOffset, int32_t count) const override;

    // count -1: up to the NUL. 8-bit chars become the units U+0000 to U+00FF.
    StrBuffer* prepend(const wchar_t* units, int32_t count) override;
    StrBuffer* appendBytes(const char* chars, int32_t count) override;
    StrBuffer* appendUnits(const wchar_t* units, int32_t count) override;
    StrBuffer* appendChar(wchar_t unit) override;
    // Lower-case hexadecimal without separators: 16, 8, 4 or 2 digits per value;
    // appendHexWords prints each 64-bit value as two 8-digit words, low word first.
    StrBuffer* appendHex(const uint64_t* values, uint32_t count) override;
    StrBuffer* appendHex(const uint32_t* values, uint32_t count) override;
    StrBuffer* appendHex(const uint16_t* values, uint32_t count) override;
    StrBuffer* appendHex(const uint8_t* values, uint32_t count) override;
    StrBuffer* appendHex(const int64_t* values, uint32_t count) override;
    StrBuffer* appendHex(const int32_t* values, uint32_t count) override;
    StrBuffer* appendHex(const int16_t* values, uint32_t count) override;
    StrBuffer* appendHex(const int8_t* values, uint32_t count) override;
    StrBuffer* appendHexWords(const uint64_t* values, uint32_t count) override;

    // Replaces every occurrence (no overlaps); returns the number replaced.
    uint32_t replaceAll(const wchar_t* text, const wchar_t* with) override;
    uint32_t replaceAllIgnoreCase(const wchar_t* text, const wchar_t* with) override;
    // New pooled strings (the caller releases them).
    StrBuffer* copy() const override;
    // Keeps [start, end) in place; end is clamped to the length.
    StrBuffer* keepRange(uint32_t start, uint32_t end) override;
    StrBuffer* substring(uint32_t start, uint32_t end) const override;
    // The units before the last match below `before` (empty when none), as new strings.
    StrBuffer* beforeLast(wchar_t ch, uint32_t before) const override;
    StrBuffer* beforeLastIgnoreCase(wchar_t ch, uint32_t before) const override;
    StrBuffer* beforeLastAny(const wchar_t* set, int32_t count, uint32_t before) const override;
    StrBuffer* beforeLastAnyIgnoreCase(const wchar_t* set, int32_t count, uint32_t before) const override;
    StrBuffer* beforeLastText(const wchar_t* text, uint32_t before) const override;
    StrBuffer* beforeLastTextIgnoreCase(const wchar_t* text, uint32_t before) const override;

    // Digest of the UTF-16LE bytes as 32 lower-case hex digits, into out (null: a new
    // pooled string). digester null: a pooled MD5; a given one must be fresh.
    StrBuffer* digestHex(digest::md5::Md5* digester, StrBuffer* out, bool append) const override;

    // Into bytes (null: a new pooled array); append false empties it first. The plain
    // forms add a NUL byte that is counted, the Unterminated ones one that is not.
    // No byte-order mark is written. A null code page gives null.
    ArrayU08* toUtf8(ArrayU08* bytes, bool append) const override;
    ArrayU08* toUtf8Unterminated(ArrayU08* bytes, bool append) const override;
    ArrayU08* toCodePage(const system::codepage::CodePage* codePage, ArrayU08* bytes, bool append) const override;
    ArrayU08* toCodePageUnterminated(const system::codepage::CodePage* codePage, ArrayU08* bytes, bool append) const override;
    ArrayU08* toOem(ArrayU08* bytes, bool append) const override;
    ArrayU08* toOemUnterminated(ArrayU08* bytes, bool append) const override;
    // From count bytes (-1: up to the NUL, which is not taken); append false replaces
    // the text. UTF-16 input is read as little-endian units, UTF-16BE high byte first
    // (count in bytes; -1: up to a NUL unit).
    StrBuffer* fromUtf8(const char* chars, bool append, int32_t count) override;
    StrBuffer* fromCodePage(const system::codepage::CodePage* codePage, const void* chars, bool append, int32_t count) override;
    StrBuffer* fromOem(const char* chars, bool append, int32_t count) override;

    // Decimal values as the C runtime reads them (leading blanks, sign, digits).
    int32_t toInt() const override;
    int64_t toInt64() const override;
    float toFloat() const override;
    // Non-empty and only 0-9, a-f, A-F.
    bool isHex() const override;
    // The digit's value; 0 for a non-hex unit.
    uint32_t hexDigitAt(uint32_t i) const override;
    // Every unit as a hex digit, wrapping in 32 bits.
    uint32_t parseHex() const override;
    // length / 2 bytes from digit pairs, high digit first.
    ArrayU08* hexToBytes(ArrayU08* bytes, bool append) const override;
    // Non-empty digits, optionally led by "-" when longer than one unit.
    bool isInteger() const override;

    // Pooled lists (the caller releases them): the non-empty pieces between ch, and
    // the distinct words ignoring case in order of first appearance.
    strarray::StrArray* split(wchar_t ch) const override;
    strarray::StrArray* distinctWords(bool skipCommonWords) const override;
    wchar_t* unitAt(uint32_t i) const override { return units_ + i; }

    // Numbers print as "%I64d", "%d", "%u" and "%f" (six decimals).
    StrBuffer* appendBytes(const char* text) override;
    StrBuffer* appendInt64(int64_t value) override;
    StrBuffer* appendUInt32(uint32_t value) override;
    StrBuffer* appendUInt16(uint16_t value) override;
    StrBuffer* appendUInt8(uint8_t value) override;
    StrBuffer* appendInt32(int32_t value) override;
    StrBuffer* appendInt16(int16_t value) override;
    StrBuffer* appendInt8(int8_t value) override;
    StrBuffer* appendFloat(float value) override;
    StrBuffer* appendDouble(double value) override;
    StrBuffer* append(const StrBuffer* other) override;
    StrBuffer* append(const wchar_t* text) override;
    // Decimal appenders by argument type.
    StrBuffer* appendInt(int32_t value) { return appendInt32(value); }
    StrBuffer* appendInt(uint32_t value) { return appendUInt32(value); }

    StrBuffer* assignInt64(int64_t value) override;
    StrBuffer* assignUInt32(uint32_t value) override;
    StrBuffer* assignUInt16(uint16_t value) override;
    StrBuffer* assignUInt8(uint8_t value) override;
    StrBuffer* assignInt32(int32_t value) override;
    StrBuffer* assignInt16(int16_t value) override;
    StrBuffer* assignInt8(int8_t value) override;
    StrBuffer* assignFloat(float value) override;
    StrBuffer* assignDouble(double value) override;
    StrBuffer* assign(const StrBuffer* other) override;
    StrBuffer* assign(const wchar_t* text) override;

    // Pooled iterators over the units; the caller closes them.
    Iterator* iterator() override;
    Iterator* reverseIterator() override;
    Iterator* iteratorAt(uint32_t index) override;
    Iterator* reverseIteratorAt(uint32_t index) override;

    // Byte streams over the text (UTF-16LE), one shared position in bytes.
    bool read(void* buffer, uint32_t max, uint32_t& got) override;
    bool write(const void* bytes, uint32_t count, uint32_t& done) override;
    bool flush() override { return true; }
    void truncate() override {}
    void close() override { position_ = 0; }
    int64_t position() const override { return position_; }
    bool isSeekable() const override { return true; }
    void rewind() override { position_ = 0; }
    void seekEnd() override { position_ = static_cast<int64_t>(length_) * 2; }
    void seek(int64_t position) override { position_ = position; }
    void seekFromEnd(int64_t distance) override { position_ = static_cast<int64_t>(length_) * 2 - distance; }
    int64_t skip(int64_t n) override { position_ += n; return n; }
    int64_t skipBack(int64_t n) override { position_ -= n; return n; }
    void dispose() override { close(); }
    void disposeRelease() override { close(); }

private:
    bool reallocate(uint32_t capacity);
    // Room for n more units after the text (growth steps).
    bool ensureRoom(uint32_t n);
    // Exchanges storage, length and capacity with another string.
    void swapStorage(StrBuffer* other);
    StrBuffer* appendNumber(const wchar_t* format, ...);
    StrBuffer* assignNumber(const wchar_t* format, ...);
    uint32_t replaceAllImpl(const wchar_t* text, const wchar_t* with, bool ignoreCase);
    ArrayU08* toCodePageImpl(uint32_t codePage, ArrayU08* bytes, bool append, bool countNul) const;
    StrBuffer* fromMultiByte(uint32_t codePage, const char* chars, bool append, int32_t count);
    bool regionMatchesImpl(uint32_t index, const wchar_t* text, uint32_t textOffset, int32_t count, bool ignoreCase) const;
    bool lastIndexOfTextImpl(const wchar_t* text, uint32_t before, uint32_t* at, bool ignoreCase) const;
    StrBuffer* trimEndImpl(const wchar_t* set, uint32_t setLength, uint32_t minLength);
    StrBuffer* trimStartImpl(const wchar_t* set, uint32_t setLength);
    StrBuffer* prefix(bool found, uint32_t at) const;

    wchar_t* units_;
    uint32_t length_;
    uint32_t capacity_;
    int64_t position_;
};

} // namespace s::str::strbuffer
