// A drive letter mapped, for one test only, onto a scratch folder: under Wine a link in
// the prefix's dosdevices folder, made and removed by the test. Operations that could
// reach a whole volume run only against such a drive, never a real one.
#pragma once
#include <windows.h>

#include <string>

#include "Scratch.h"

class ScratchDrive {
public:
    // Maps a free letter onto folder (which must exist); check available() before use.
    explicit ScratchDrive(const std::wstring& folder);
    ~ScratchDrive();
    ScratchDrive(const ScratchDrive&) = delete;
    ScratchDrive& operator=(const ScratchDrive&) = delete;

    bool available() const { return letter_ != 0; }
    // Why the drive could not be mapped.
    const std::string& reason() const { return reason_; }
    // "Q:"
    std::wstring root() const { return std::wstring(1, letter_) + L":"; }
    // Whether the drive still shows the folder it was made for.
    bool stillMapped() const;

private:
    static bool runUnix(const std::wstring& commandLine);

    std::wstring folder_;
    std::wstring link_;   // the dosdevices entry, as a Unix path
    std::string token_;   // the marker file's content
    wchar_t letter_;
    std::string reason_;
};
