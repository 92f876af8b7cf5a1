// A scratch folder under the temporary folder, removed (with everything in it) when
// the test ends, plus small raw helpers that do not go through the code under test.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

class Scratch {
public:
    Scratch();
    ~Scratch();
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;

    const std::wstring& root() const { return root_; }
    // root + "\" + relative
    std::wstring at(const std::wstring& relative) const { return root_ + L"\\" + relative; }

    // Raw file-system helpers (through "\\?\" so long names work).
    static std::wstring longForm(const std::wstring& path) { return L"\\\\?\\" + path; }
    static bool write(const std::wstring& path, const std::string& bytes);
    static bool read(const std::wstring& path, std::string& bytes);
    static bool exists(const std::wstring& path);
    static bool makeFolder(const std::wstring& path);
    static DWORD attributes(const std::wstring& path);
    static int64_t size(const std::wstring& path);

private:
    static void removeTree(const std::wstring& path);
    std::wstring root_;
};
