// Shared helpers of the JPEG and PNG tests: patterned pictures, streams that fail or
// write short, files in a scratch folder, failed writes, ffmpeg.exe runs and clocked
// hostile decodes.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <psapi.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "ImageTestSupport.h"
#include "core/io/IOutputStream.h"
#include "images/image/IEncodedImage.h"
#include "images/image/win/BufferedImage.h"
#include "support/ChildProcess.h"
#include "system/xml/MappedData.h"

namespace codectest {

using imagetest::Bytes;
using s::image::win::BufferedImage;

// Every byte of the logical picture, top row first (4 bytes a pixel).
inline Bytes pixelsOf(const BufferedImage* image) {
    Bytes out;
    GdiFlush();
    for (int32_t y = 0; y < image->height(); ++y) {
        const uint8_t* row = image->row(y);
        out.insert(out.end(), row, row + image->width() * 4);
    }
    return out;
}

// Smooth colour ramps with a different value in every channel, so a swapped channel
// order shows; alpha varies too when translucent.
inline BufferedImage* patternImage(int32_t width, int32_t height, bool translucent) {
    BufferedImage* image = BufferedImage::create(width, height);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            const uint32_t red = 40 + (x * 160) / width;
            const uint32_t green = 200 - (y * 150) / height;
            const uint32_t blue = 90 + ((x + y) * 60) / (width + height);
            const uint32_t alpha = translucent ? (x * 7 + y * 3) % 256 : 255;
            image->setPixel(x, y, alpha << 24 | red << 16 | green << 8 | blue);
        }
    }
    image->setHasAlpha(translucent);
    return image;
}

// An output stream that takes limit bytes and then fails; with chunk set it takes at
// most chunk bytes a call (a successful short write).
class TestOutput : public s::io::IOutputStream {
public:
    explicit TestOutput(size_t limit = SIZE_MAX, uint32_t chunk = UINT32_MAX) : limit_(limit), chunk_(chunk) {}
    void release() override {}
    void reset() override {}
    bool write(const void* bytes, uint32_t count, uint32_t& done) override {
        done = 0;
        if (count == 0) {
            return true;
        }
        if (data.size() >= limit_) {
            return false;
        }
        done = std::min<uint32_t>({count, chunk_, static_cast<uint32_t>(std::min<size_t>(limit_ - data.size(), UINT32_MAX))});
        const uint8_t* p = static_cast<const uint8_t*>(bytes);
        data.insert(data.end(), p, p + done);
        return true;
    }
    bool flush() override { return true; }
    void truncate() override {}
    void close() override {}
    int64_t position() const override { return static_cast<int64_t>(data.size()); }
    bool isSeekable() const override { return false; }
    void rewind() override {}
    void seekEnd() override {}
    void seek(int64_t) override {}
    void seekFromEnd(int64_t) override {}
    int64_t skip(int64_t) override { return 0; }
    int64_t skipBack(int64_t) override { return 0; }

    Bytes data;

private:
    size_t limit_;
    uint32_t chunk_;
};

// Decodes bytes into image; answers decode's result.
inline bool decodeBytes(s::image::IEncodedImage* image, const Bytes& bytes) {
    imagetest::Held<s::col::_array::ArrayU08> stream(imagetest::streamOf(bytes));
    return image->decode(stream.get());
}

// A fresh scratch folder for this test process.
inline std::wstring scratchFolder(const wchar_t* name) {
    return testsupport::freshTempFolder(name);
}

// An XML store on a new file of the scratch folder name.
inline s::xml::MappedData* freshStore(const wchar_t* name) {
    static int counter = 0;
    const std::wstring path = scratchFolder(name) + L"\\store" + std::to_wstring(++counter) + L".xml";
    DeleteFileW(path.c_str());
    return s::xml::MappedData::create(path.c_str());
}

inline bool writeFile(const std::wstring& path, const Bytes& bytes) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    const bool done = WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                      written == bytes.size();
    CloseHandle(f);
    return done;
}

inline Bytes readFile(const std::wstring& path) {
    Bytes out;
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) {
        return out;
    }
    uint8_t buffer[65536];
    DWORD got = 0;
    while (ReadFile(f, buffer, sizeof(buffer), &got, nullptr) && got > 0) {
        out.insert(out.end(), buffer, buffer + got);
    }
    CloseHandle(f);
    return out;
}

// Encoding into streams that fail at several points fails the encode and the save,
// and leaves the codec's pixels and the source picture as they were.
template <class Codec, class Save>
void expectFailedWritesHarmless(Codec* codec, BufferedImage* image, Save save) {
    const auto bitsOf = [codec] {
        const auto* bitmap = codec->bitmap();
        return Bytes(bitmap->bits(), bitmap->bits() + bitmap->stride() * codec->height());
    };
    const Bytes bits = bitsOf();
    const Bytes before = pixelsOf(image);
    TestOutput whole;
    ASSERT_TRUE(codec->encode(&whole));
    const size_t size = whole.data.size();
    for (size_t limit : {size_t(0), size_t(8), size_t(40), size_t(100), size_t(300), size / 2, size - 1}) {
        TestOutput failing(limit);
        EXPECT_FALSE(codec->encode(&failing)) << limit;
        EXPECT_FALSE(save(&failing)) << limit;
    }
    EXPECT_EQ(bits, bitsOf());
    EXPECT_EQ(before, pixelsOf(image));
}

#ifdef FFMPEG_TOOLS_DIR
// Runs ffmpeg.exe with the arguments (after "-v error -nostdin -y"); true when it ends
// with code 0 within a minute.
inline bool runFfmpeg(const std::wstring& arguments) {
    std::wstring line = L"\"" FFMPEG_TOOLS_DIR L"\\ffmpeg.exe\" -v error -nostdin -y " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!testsupport::startProcess(line, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &startup, &info)) {
        return false;
    }
    DWORD code = 1;
    if (WaitForSingleObject(info.hProcess, 60000) == WAIT_OBJECT_0) {
        GetExitCodeProcess(info.hProcess, &code);
    } else {
        TerminateProcess(info.hProcess, 1);
    }
    CloseHandle(info.hProcess);
    CloseHandle(info.hThread);
    return code == 0;
}

// ffmpeg.exe's own decoding of a picture file as raw pixels of pixelFormat ("bgra",
// "bgr24"), every frame of an animation one after another; empty when it fails.
inline Bytes ffmpegDecode(const std::wstring& input, const wchar_t* pixelFormat) {
    const std::wstring output = input + L".raw";
    const Bytes out = runFfmpeg(L"-i \"" + input + L"\" -f rawvideo -pix_fmt " + pixelFormat + L" \"" + output + L"\"")
                          ? readFile(output)
                          : Bytes();
    DeleteFileW(output.c_str());
    return out;
}

// The same for picture bytes, written as name in a scratch folder, as 32-bit pixels in our
// byte order.
inline Bytes ffmpegDecode(const Bytes& file, const wchar_t* name) {
    const std::wstring dir = scratchFolder(L"ffmpeg-decode");
    const std::wstring input = dir + L"\\" + name;
    const Bytes out = writeFile(input, file) ? ffmpegDecode(input, L"bgra") : Bytes();
    DeleteFileW(input.c_str());
    RemoveDirectoryW(dir.c_str());
    return out;
}
#endif

// One hostile input: its name, bytes, and whether a partial picture is the right answer.
struct Hostile {
    const char* name;
    Bytes bytes;
    bool decodes = false;
};

// The process's working set now and at its most: pages touched, so a picture counts
// once its pixels are written.
inline PROCESS_MEMORY_COUNTERS memoryCounters() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return counters;
}

// Decodes every case into image, each within a second; a failed decode leaves no
// picture. (Wine's memory counters do not show picture memory, so the size limit is
// proven by files beyond it whose data is whole.)
inline void expectHostileHandled(s::image::IEncodedImage* image, const std::vector<Hostile>& cases) {
    for (const Hostile& c : cases) {
        const ULONGLONG start = GetTickCount64();
        const bool decoded = decodeBytes(image, c.bytes);
        EXPECT_LT(GetTickCount64() - start, 1000u) << c.name;
        EXPECT_EQ(c.decodes, decoded) << c.name;
        if (!decoded) {
            EXPECT_EQ(0, image->width()) << c.name;
            EXPECT_EQ(nullptr, image->toBufferedImage()) << c.name;
        }
    }
}

} // namespace codectest
