#pragma once
#include <cstdint>

#include "core/base/IObject.h"

namespace s::col::_array { class ArrayU08; }
namespace s::digest::md5 { class Md5; }
namespace s::system::codepage { class CodePage; }
namespace s::str::strarray { class StrArray; }
namespace s::str::strbuffer {
class StrBuffer;
class Iterator;
}

namespace s::str {

// The string interface: a growable text of UTF-16 units. StrBuffer is its one
// implementation; see StrBuffer.h for the behaviour of each operation.
//
// Conventions: indexes and lengths are in units; a count of -1 means "up to the NUL";
// a "before" bound of 16777215 (or anything above the length) means the whole text.
// Searches answer found or not and give the index through `at` (may be null).
// Ignoring case folds the ASCII letters only.
class IStr : public base::IObject {
public:
    typedef strbuffer::StrBuffer StrBuffer;
    typedef col::_array::ArrayU08 ArrayU08;

    // Termination and size.
    virtual void terminate() const = 0;
    virtual uint32_t length() const = 0;
    virtual void setLength(uint32_t n) = 0;
    virtual uint32_t capacity() const = 0;

    // Storage.
    virtual bool reserveExact(uint32_t n) = 0;
    virtual bool grow() = 0;
    virtual bool reserve(uint32_t n) = 0;
    virtual void clear() = 0;
    virtual void freeStorage() = 0;
    virtual wchar_t* data() const = 0;
    virtual const wchar_t* c_str() const = 0;

    // Whole-text changes.
    virtual StrBuffer* reverse() = 0;
    virtual StrBuffer* toLowerCase() = 0;
    virtual StrBuffer* toUpperCase() = 0;
    virtual StrBuffer* capitalize() = 0;

    // Units.
    virtual wchar_t charAt(uint32_t i) const = 0;
    virtual wchar_t charLowerAt(uint32_t i) const = 0;
    virtual wchar_t charUpperAt(uint32_t i) const = 0;

    // Searches.
    virtual bool indexOf(wchar_t ch, uint32_t from, uint32_t* at = nullptr) const = 0;
    virtual bool indexOfIgnoreCase(wchar_t ch, uint32_t from, uint32_t* at = nullptr) const = 0;
    virtual bool indexOfAny(const wchar_t* set, int32_t count, uint32_t from, uint32_t* at = nullptr) const = 0;
    virtual bool indexOfAnyIgnoreCase(const wchar_t* set, int32_t count, uint32_t from, uint32_t* at = nullptr) const = 0;
    virtual bool lastIndexOf(wchar_t ch, uint32_t before, uint32_t* at = nullptr) const = 0;
    virtual bool lastIndexOfIgnoreCase(wchar_t ch, uint32_t before, uint32_t* at = nullptr) const = 0;
    virtual bool lastIndexOfAny(const wchar_t* set, int32_t count, uint32_t before, uint32_t* at = nullptr) const = 0;
    virtual bool lastIndexOfAnyIgnoreCase(const wchar_t* set, int32_t count, uint32_t before, uint32_t* at = nullptr) const = 0;
    virtual bool indexOfText(const wchar_t* text, uint32_t from, uint32_t* at = nullptr) const = 0;
    virtual bool indexOfTextIgnoreCase(const wchar_t* text, uint32_t from, uint32_t* at = nullptr) const = 0;
    virtual bool lastIndexOfText(const wchar_t* text, uint32_t before, uint32_t* at = nullptr) const = 0;
    virtual bool lastIndexOfTextIgnoreCase(const wchar_t* text, uint32_t before, uint32_t* at = nullptr) const = 0;

    // Region tests.
    virtual bool regionMatches(uint32_t index, const wchar_t* text, uint32_t textOffset, int32_t count) const = 0;
    virtual bool regionMatchesIgnoreCase(uint32_t index, const wchar_t* text, uint32_t textOffset, int32_t count) const = 0;
    virtual bool endsWith(const wchar_t* text, int32_t count = -1) const = 0;
    virtual bool endsWithIgnoreCase(const wchar_t* text, int32_t count = -1) const = 0;
    virtual bool startsWith(const wchar_t* text, int32_t count = -1) const = 0;
    virtual bool startsWithIgnoreCase(const wchar_t* text, int32_t count = -1) const = 0;

    // Trims.
    virtual StrBuffer* trimEnd() = 0;
    virtual StrBuffer* trimEndKeeping(uint32_t minLength) = 0;
    virtual StrBuffer* trimEndSet(const wchar_t* set, int32_t count) = 0;
    virtual StrBuffer* trimEndSetKeeping(const wchar_t* set, uint32_t minLength, int32_t count) = 0;
    virtual StrBuffer* trimStart() = 0;
    virtual StrBuffer* trimStartSet(const wchar_t* set, int32_t count) = 0;

    // Region comparison.
    virtual int32_t compareRegion(uint32_t index, const wchar_t* text, uint32_t textOffset, int32_t count) const = 0;
    virtual int32_t compareRegionIgnoreCase(uint32_t index, const wchar_t* text, uint32_t textOffset, int32_t count) const = 0;

    // Appending units.
    virtual StrBuffer* prepend(const wchar_t* units, int32_t count) = 0;
    virtual StrBuffer* appendBytes(const char* chars, int32_t count) = 0;
    virtual StrBuffer* appendUnits(const wchar_t* units, int32_t count) = 0;
    virtual StrBuffer* appendChar(wchar_t unit) = 0;
    virtual StrBuffer* appendHex(const uint64_t* values, uint32_t count) = 0;
    virtual StrBuffer* appendHex(const uint32_t* values, uint32_t count) = 0;
    virtual StrBuffer* appendHex(const uint16_t* values, uint32_t count) = 0;
    virtual StrBuffer* appendHex(const uint8_t* values, uint32_t count) = 0;
    virtual StrBuffer* appendHex(const int64_t* values, uint32_t count) = 0;
    virtual StrBuffer* appendHex(const int32_t* values, uint32_t count) = 0;
    virtual StrBuffer* appendHex(const int16_t* values, uint32_t count) = 0;
    virtual StrBuffer* appendHex(const int8_t* values, uint32_t count) = 0;
    virtual StrBuffer* appendHexWords(const uint64_t* values, uint32_t count) = 0;

    // Replacing and cutting.
    virtual uint32_t replaceAll(const wchar_t* text, const wchar_t* with) = 0;
    virtual uint32_t replaceAllIgnoreCase(const wchar_t* text, const wchar_t* with) = 0;
    virtual StrBuffer* copy() const = 0;
    virtual StrBuffer* keepRange(uint32_t start, uint32_t end) = 0;
    virtual StrBuffer* substring(uint32_t start, uint32_t end) const = 0;
    virtual StrBuffer* beforeLast(wchar_t ch, uint32_t before) const = 0;
    virtual StrBuffer* beforeLastIgnoreCase(wchar_t ch, uint32_t before) const = 0;
    virtual StrBuffer* beforeLastAny(const wchar_t* set, int32_t count, uint32_t before) const = 0;
    virtual StrBuffer* beforeLastAnyIgnoreCase(const wchar_t* set, int32_t count, uint32_t before) const = 0;
    virtual StrBuffer* beforeLastText(const wchar_t* text, uint32_t before) const = 0;
    virtual StrBuffer* beforeLastTextIgnoreCase(const wchar_t* text, uint32_t before) const = 0;

    // Digest.
    virtual StrBuffer* digestHex(digest::md5::Md5* digester, StrBuffer* out, bool append) const = 0;

    // Conversions.
    virtual ArrayU08* toUtf8(ArrayU08* bytes, bool append) const = 0;
    virtual ArrayU08* toUtf8Unterminated(ArrayU08* bytes, bool append) const = 0;
    virtual StrBuffer* fromUtf8(const char* chars, bool append, int32_t count) = 0;
    virtual ArrayU08* toCodePage(const system::codepage::CodePage* codePage, ArrayU08* bytes, bool append) const = 0;
    virtual ArrayU08* toCodePageUnterminated(const system::codepage::CodePage* codePage, ArrayU08* bytes, bool append) const = 0;
    virtual StrBuffer* fromCodePage(const system::codepage::CodePage* codePage, const void* chars, bool append, int32_t count) = 0;
    virtual ArrayU08* toOem(ArrayU08* bytes, bool append) const = 0;
    virtual ArrayU08* toOemUnterminated(ArrayU08* bytes, bool append) const = 0;
    virtual StrBuffer* fromOem(const char* chars, bool append, int32_t count) = 0;

    // Numbers.
    virtual int32_t toInt() const = 0;
    virtual int64_t toInt64() const = 0;
    virtual float toFloat() const = 0;
    virtual bool isHex() const = 0;
    virtual uint32_t hexDigitAt(uint32_t i) const = 0;
    virtual uint32_t parseHex() const = 0;
    virtual ArrayU08* hexToBytes(ArrayU08* bytes, bool append) const = 0;
    virtual bool isInteger() const = 0;

    // Words.
    virtual strarray::StrArray* split(wchar_t ch) const = 0;
    virtual strarray::StrArray* distinctWords(bool skipCommonWords) const = 0;
    virtual wchar_t* unitAt(uint32_t i) const = 0;

    // Appending values.
    virtual StrBuffer* appendBytes(const char* text) = 0;
    virtual StrBuffer* appendInt64(int64_t value) = 0;
    virtual StrBuffer* appendUInt32(uint32_t value) = 0;
    virtual StrBuffer* appendUInt16(uint16_t value) = 0;
    virtual StrBuffer* appendUInt8(uint8_t value) = 0;
    virtual StrBuffer* appendInt32(int32_t value) = 0;
    virtual StrBuffer* appendInt16(int16_t value) = 0;
    virtual StrBuffer* appendInt8(int8_t value) = 0;
    virtual StrBuffer* appendFloat(float value) = 0;
    virtual StrBuffer* appendDouble(double value) = 0;
    virtual StrBuffer* append(const StrBuffer* other) = 0;
    virtual StrBuffer* append(const wchar_t* text) = 0;

    // Assigning values.
    virtual StrBuffer* assignInt64(int64_t value) = 0;
    virtual StrBuffer* assignUInt32(uint32_t value) = 0;
    virtual StrBuffer* assignUInt16(uint16_t value) = 0;
    virtual StrBuffer* assignUInt8(uint8_t value) = 0;
    virtual StrBuffer* assignInt32(int32_t value) = 0;
    virtual StrBuffer* assignInt16(int16_t value) = 0;
    virtual StrBuffer* assignInt8(int8_t value) = 0;
    virtual StrBuffer* assignFloat(float value) = 0;
    virtual StrBuffer* assignDouble(double value) = 0;
    virtual StrBuffer* assign(const StrBuffer* other) = 0;
    virtual StrBuffer* assign(const wchar_t* text) = 0;

    // Iterators (closed by the caller).
    virtual strbuffer::Iterator* iterator() = 0;
    virtual strbuffer::Iterator* reverseIterator() = 0;
    virtual strbuffer::Iterator* iteratorAt(uint32_t index) = 0;
    virtual strbuffer::Iterator* reverseIteratorAt(uint32_t index) = 0;
};

} // namespace s::str
