// File streams: the 64 KiB output buffer, flush, truncate and seeks, unbuffered input,
// whole-file reads and writes, read errors, and the string-array file save.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "Released.h"
#include "Scratch.h"
#include "core/col/_array/ArrayU08.h"
#include "core/io/StreamCopy.h"
#include "core/str/strarray/StrArray.h"
#include "system/file/win/FileInputStream.h"
#include "system/file/win/FileOutputStream.h"
#include "system/file/win/PathWin.h"

using s::col::_array::ArrayU08;
using s::file::win::FileInputStream;
using s::file::win::FileOutputStream;
using s::file::win::PathWin;
using s::str::strarray::StrArray;

namespace {

// Bytes that differ from position to position, so misplaced blocks show.
std::string pattern(size_t n) {
    std::string bytes(n, '\0');
    for (size_t i = 0; i < n; ++i) {
        bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
    }
    return bytes;
}

bool write(FileOutputStream* out, const std::string& bytes) {
    uint32_t done = 0;
    return out->write(bytes.data(), static_cast<uint32_t>(bytes.size()), done) && done == bytes.size();
}

} // namespace

TEST(FileStream, OutputCollectsInItsBuffer) {
    Scratch scratch;
    const std::wstring f = scratch.at(L"out.bin");
    auto out = held(path(f)->openOutputStream(false));
    ASSERT_TRUE(out);
    const std::string data = pattern(100000);
    ASSERT_TRUE(write(out.get(), data));
    EXPECT_EQ(100000u - 65536u, out->pending());
    EXPECT_EQ(65536, Scratch::size(f));
    EXPECT_EQ(100000, out->position());
    ASSERT_TRUE(out->flush());
    EXPECT_EQ(0u, out->pending());
    EXPECT_EQ(100000, Scratch::size(f));

    // Exactly a buffer's worth stays pending until one more byte arrives.
    auto second = held(path(scratch.at(L"full.bin"))->openOutputStream(false));
    ASSERT_TRUE(write(second.get(), std::string(65536, 'f')));
    EXPECT_EQ(65536u, second->pending());
    EXPECT_EQ(0, Scratch::size(scratch.at(L"full.bin")));
    ASSERT_TRUE(write(second.get(), "g"));
    EXPECT_EQ(1u, second->pending());
    EXPECT_EQ(65536, Scratch::size(scratch.at(L"full.bin")));
    second.reset();  // release closes and writes the rest
    EXPECT_EQ(65537, Scratch::size(scratch.at(L"full.bin")));

    out.reset();
    std::string back;
    ASSERT_TRUE(Scratch::read(f, back));
    EXPECT_EQ(data, back);
}

TEST(FileStream, SeeksTruncateAndAppend) {
    Scratch scratch;
    const std::wstring f = scratch.at(L"seek.bin");
    ASSERT_TRUE(Scratch::write(f, std::string(100, 'a')));

    auto out = held(path(f)->openOutputStream(true));
    ASSERT_TRUE(out);
    EXPECT_EQ(100, out->position());  // appending starts at the old end
    ASSERT_TRUE(write(out.get(), "END"));
    out->seek(10);
    EXPECT_EQ(10, out->position());
    ASSERT_TRUE(write(out.get(), "XY"));
    out->truncate();
    EXPECT_EQ(12, Scratch::size(f));
    out->seekFromEnd(2);
    EXPECT_EQ(10, out->position());
    EXPECT_EQ(1, out->skip(1));
    EXPECT_EQ(11, out->position());
    out->skipBack(11);
    EXPECT_EQ(0, out->position());
    ASSERT_TRUE(write(out.get(), "b"));
    // The input view sees what is still in the buffer.
    out->rewind();
    char read[12] = {};
    uint32_t got = 0;
    ASSERT_TRUE(out->read(read, sizeof(read), got));
    EXPECT_EQ("baaaaaaaaaXY", std::string(read, got));
    EXPECT_EQ(12, out->position());
    EXPECT_FALSE(out->read(read, sizeof(read), got));
    EXPECT_FALSE(out->readFailed());
    out.reset();

    // Opening without append empties the file.
    auto fresh = held(path(f)->openOutputStream(false));
    ASSERT_TRUE(fresh);
    EXPECT_EQ(0, Scratch::size(f));
}

TEST(FileStream, InputRoundTripsMegabytes) {
    Scratch scratch;
    const std::wstring f = scratch.at(L"big\\round.bin");  // the folder is made on the way
    const std::string data = pattern(3 * 1024 * 1024 + 123);
    Released<ArrayU08> bytes = held(ArrayU08::pool());
    ASSERT_TRUE(bytes->setCount(static_cast<uint32_t>(data.size())));
    std::memcpy(bytes->items(), data.data(), data.size());
    ASSERT_TRUE(path(f)->writeAllBytes(bytes.get(), false));
    EXPECT_EQ(static_cast<int64_t>(data.size()), Scratch::size(f));

    // Odd-sized reads, each straight from the file.
    auto in = held(path(f)->openInputStream());
    ASSERT_TRUE(in);
    std::string back;
    char chunk[7777];
    uint32_t got = 0;
    while (in->read(chunk, sizeof(chunk), got)) {
        back.append(chunk, got);
    }
    EXPECT_FALSE(in->readFailed());  // the end, not an error
    EXPECT_EQ(data, back);
    EXPECT_EQ(static_cast<int64_t>(data.size()), in->position());
    in->seek(1000);
    ASSERT_TRUE(in->read(chunk, 10, got));
    EXPECT_EQ(data.substr(1000, 10), std::string(chunk, got));
    in->seekFromEnd(3);
    ASSERT_TRUE(in->read(chunk, 10, got));
    EXPECT_EQ(data.substr(data.size() - 3), std::string(chunk, got));

    Released<ArrayU08> all = held(ArrayU08::pool());
    ASSERT_TRUE(path(f)->readAllBytes(all.get()));
    ASSERT_EQ(data.size(), all->count());
    EXPECT_EQ(0, std::memcmp(data.data(), all->items(), data.size()));

    // Appending whole arrays and texts.
    ASSERT_TRUE(path(f)->writeText(L"\u00e9!", true));
    ASSERT_TRUE(path(f)->readAllBytes(all.get()));
    EXPECT_EQ(data + "\xC3\xA9!", std::string(reinterpret_cast<char*>(all->items()), all->count()));

    ASSERT_TRUE(Scratch::write(scratch.at(L"empty"), ""));
    EXPECT_TRUE(path(scratch.at(L"empty"))->readAllBytes(all.get()));
    EXPECT_EQ(0u, all->count());
}

TEST(FileStream, MissingFilesAndReadErrors) {
    Scratch scratch;
    EXPECT_EQ(nullptr, held(path(scratch.at(L"missing"))->openInputStream()).get());
    Released<FileInputStream> closed = held(FileInputStream::pool());
    char buffer[16];
    uint32_t got = 5;
    EXPECT_FALSE(closed->read(buffer, sizeof(buffer), got));
    EXPECT_EQ(0u, got);
    EXPECT_TRUE(closed->readFailed());
    Released<ArrayU08> bytes = held(ArrayU08::pool());
    EXPECT_FALSE(path(scratch.at(L"missing"))->readAllBytes(bytes.get()));

    // A device that fails every read (the process's own memory at address 0, EIO):
    // callers that copy must see a failure, not an empty file.
    auto failing = path(L"Z:\\proc\\self\\mem");
    auto in = held(failing->openInputStream());
    if (!in) {
        GTEST_SKIP() << "no failing device to read from";
    }
    EXPECT_FALSE(in->read(buffer, sizeof(buffer), got));
    EXPECT_TRUE(in->readFailed());
    in->rewind();
    Released<ArrayU08> copy = held(ArrayU08::pool());
    EXPECT_FALSE(s::io::copyStream(in.get(), copy.get()));
    EXPECT_FALSE(failing->readAllBytes(bytes.get()));
}

TEST(FileStream, StringArraySavesUtf8LinesWithoutSignature) {
    Scratch scratch;
    Released<StrArray> lines = held(StrArray::pool());
    lines->add(L"first")->add(L"second");
    const std::wstring f = scratch.at(L"log\\_error.txt");  // the folder does not exist yet
    ASSERT_TRUE(lines->saveToFile(f.c_str()));
    std::string bytes;
    ASSERT_TRUE(Scratch::read(f, bytes));
    EXPECT_EQ("first\r\nsecond", bytes);

    // Saving again replaces the content; non-ASCII text is UTF-8.
    lines->clear();
    lines->add(L"caf\u00e9");
    ASSERT_TRUE(lines->saveToFile(f.c_str()));
    ASSERT_TRUE(Scratch::read(f, bytes));
    EXPECT_EQ("caf\xC3\xA9", bytes);

    lines->clear();
    ASSERT_TRUE(lines->saveToFile(f.c_str()));
    EXPECT_EQ(0, Scratch::size(f));

    // A path that is an existing folder cannot be written: reported, not hidden.
    lines->add(L"x");
    EXPECT_FALSE(lines->saveToFile(scratch.at(L"log").c_str()));
}
