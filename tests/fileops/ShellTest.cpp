// Shortcuts, the shell seams, special folders, temporary files, short names and the
// clock.
#include <windows.h>
#include <winternl.h>

#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <vector>

#include "Released.h"
#include "Scratch.h"
#include "core/str/strbuffer/StrBuffer.h"
#include "system/file/win/PathArray.h"
#include "system/file/win/PathWin.h"
#include "system/file/win/ShortPath.h"
#include "system/shell/win/Shell.h"
#include "system/time/Clock.h"

using s::file::win::PathArray;
using s::file::win::PathWin;
using s::file::win::ShortPath;
using s::str::strbuffer::StrBuffer;
namespace shell = s::shell::win;

namespace {

struct ShellCall {
    std::wstring verb;
    std::wstring file;
    ULONG mask;
    int show;
};
std::vector<ShellCall> shellCalls;

BOOL WINAPI recordShellExecute(SHELLEXECUTEINFOW* info) {
    shellCalls.push_back({info->lpVerb, info->lpFile, info->fMask, info->nShow});
    return TRUE;
}

// Replaces the shell's program start for one test; nothing real is ever started.
class ShellSpy {
public:
    ShellSpy() : previous_(shell::setShellExecute(&recordShellExecute)) { shellCalls.clear(); }
    ~ShellSpy() { shell::setShellExecute(previous_); }

private:
    shell::ShellExecuteFn previous_;
};

// The system's short form of an existing path (the path itself when it has none).
std::wstring systemShortForm(const std::wstring& path) {
    wchar_t buffer[1024] = {};
    const DWORD n = GetShortPathNameW(path.c_str(), buffer, 1024);
    return n != 0 && n < 1024 ? std::wstring(buffer, n) : path;
}

int propertiesShown = 0;

HRESULT WINAPI recordProperties(IDataObject* data, DWORD) {
    if (data != nullptr) {
        ++propertiesShown;
    }
    return S_OK;
}

int64_t fixedClock() {
    return 42;
}

// The process record RtlCreateUserProcess fills (not in the MinGW headers); the
// image facts at its end are not read.
struct UserProcessInfo {
    ULONG length;
    HANDLE process;
    HANDLE thread;
    CLIENT_ID clientId;
    unsigned char imageInformation[64];
};

template <class Fn>
Fn ntdllCall(const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), name)));
}

// Runs a program by its full path, which may be longer than MAX_PATH: CreateProcessW
// under Wine refuses such paths, the ntdll calls beneath it do not. The environment
// is this process's. The exit code, or -1 when it did not start or end within ms
// (it is then ended).
long runLongPathProgram(const std::wstring& exe, const std::wstring& arguments, DWORD ms) {
    typedef VOID(NTAPI * InitStringFn)(UNICODE_STRING*, PCWSTR);
    typedef NTSTATUS(NTAPI * CreateParametersFn)(RTL_USER_PROCESS_PARAMETERS**, UNICODE_STRING*, UNICODE_STRING*,
                                                 UNICODE_STRING*, UNICODE_STRING*, void*, UNICODE_STRING*,
                                                 UNICODE_STRING*, UNICODE_STRING*, UNICODE_STRING*, ULONG);
    typedef NTSTATUS(NTAPI * DestroyParametersFn)(RTL_USER_PROCESS_PARAMETERS*);
    typedef NTSTATUS(NTAPI * CreateProcessFn)(UNICODE_STRING*, ULONG, RTL_USER_PROCESS_PARAMETERS*, void*, void*,
                                              HANDLE, BOOLEAN, HANDLE, HANDLE, UserProcessInfo*);
    typedef NTSTATUS(NTAPI * ResumeThreadFn)(HANDLE, ULONG*);
    auto initString = ntdllCall<InitStringFn>("RtlInitUnicodeString");
    auto createParameters = ntdllCall<CreateParametersFn>("RtlCreateProcessParametersEx");
    auto destroyParameters = ntdllCall<DestroyParametersFn>("RtlDestroyProcessParameters");
    auto createProcess = ntdllCall<CreateProcessFn>("RtlCreateUserProcess");
    auto resumeThread = ntdllCall<ResumeThreadFn>("NtResumeThread");
    if (!initString || !createParameters || !destroyParameters || !createProcess || !resumeThread) {
        return -1;
    }
    const std::wstring ntPath = L"\\??\\" + exe;
    const std::wstring line = L"\"" + exe + L"\" " + arguments;
    wchar_t current[MAX_PATH + 1] = {};
    GetCurrentDirectoryW(MAX_PATH, current);
    UNICODE_STRING imageText, lineText, currentText, ntText;
    initString(&imageText, exe.c_str());
    initString(&lineText, line.c_str());
    initString(&currentText, current);
    initString(&ntText, ntPath.c_str());
    RTL_USER_PROCESS_PARAMETERS* parameters = nullptr;
    const ULONG normalised = 1;
    if (createParameters(&parameters, &imageText, nullptr, &currentText, &lineText, nullptr, nullptr, nullptr,
                         nullptr, nullptr, normalised) != 0) {
        return -1;
    }
    UserProcessInfo info = {};
    info.length = sizeof(info);
    const ULONG caseInsensitive = 0x40;
    const NTSTATUS created = createProcess(&ntText, caseInsensitive, parameters, nullptr, nullptr, nullptr, FALSE,
                                           nullptr, nullptr, &info);
    destroyParameters(parameters);
    if (created != 0) {
        return -1;
    }
    resumeThread(info.thread, nullptr);  // it starts suspended
    CloseHandle(info.thread);
    long code = -1;
    if (WaitForSingleObject(info.process, ms) == WAIT_OBJECT_0) {
        DWORD exitCode = 0;
        GetExitCodeProcess(info.process, &exitCode);
        code = static_cast<long>(exitCode);
    } else {
        TerminateProcess(info.process, 99);
        WaitForSingleObject(info.process, 5000);
    }
    CloseHandle(info.process);
    return code;
}

} // namespace

TEST(Shell, ShortcutsRoundTrip) {
    Scratch scratch;
    const std::wstring target = scratch.at(L"A long target name.mp3");
    ASSERT_TRUE(Scratch::write(target, "x"));
    auto song = path(target);

    // ".lnk" is added, the target comes back in its long form.
    ASSERT_TRUE(song->createShortcut(scratch.at(L"link").c_str(), false, L"-play"));
    auto link = path(scratch.at(L"link.lnk"));
    ASSERT_TRUE(link->exists());
    EXPECT_TRUE(link->isLnk());
    EXPECT_EQ(target, held(link->shortcutTarget())->getText());
    EXPECT_FALSE(song->createShortcut(scratch.at(L"link.LNK").c_str(), false, nullptr));
    EXPECT_TRUE(song->createShortcut(scratch.at(L"link.LNK").c_str(), true, nullptr));
    // A shortcut of a shortcut is a copy of it.
    EXPECT_TRUE(link->createShortcut(scratch.at(L"copy").c_str(), false, nullptr));
    EXPECT_EQ(target, held(path(scratch.at(L"copy.lnk"))->shortcutTarget())->getText());
    EXPECT_EQ(nullptr, held(song->shortcutTarget()).get());

    // A folder holding "target.lnk" that points at a folder stands for that folder.
    ASSERT_TRUE(Scratch::makeFolder(scratch.at(L"real")));
    ASSERT_TRUE(Scratch::makeFolder(scratch.at(L"alias")));
    ASSERT_TRUE(path(scratch.at(L"real"))->createShortcut(scratch.at(L"alias\\target").c_str(), false, nullptr));
    auto alias = path(scratch.at(L"alias"));
    EXPECT_TRUE(alias->isFolderShortcut());
    EXPECT_EQ(scratch.at(L"real"), alias->getFolderShortcutTarget());
    EXPECT_FALSE(path(scratch.at(L"real"))->isFolderShortcut());

    // Internet shortcuts keep their address.
    auto url = path(scratch.at(L"site.url"));
    ASSERT_TRUE(url->createInternetShortcut(L"http://example.com/page", false));
    EXPECT_FALSE(url->createInternetShortcut(L"http://example.com/other", false));
    auto urlAgain = path(scratch.at(L"site.url"));
    EXPECT_TRUE(urlAgain->isUrl());
    EXPECT_STREQ(L"http://example.com/page", urlAgain->getUrlTarget());
    ASSERT_TRUE(urlAgain->createInternetShortcut(L"http://example.com/other", true));
    EXPECT_STREQ(L"http://example.com/other", path(scratch.at(L"site.url"))->getUrlTarget());
    EXPECT_STREQ(L"", song->getUrlTarget());
}

TEST(Shell, ShellFileOperationsReportWhatHappened) {
    Scratch scratch;
    ASSERT_TRUE(Scratch::write(scratch.at(L"c1.txt"), "1"));
    ASSERT_TRUE(Scratch::write(scratch.at(L"c2.txt"), "2"));
    ASSERT_TRUE(Scratch::makeFolder(scratch.at(L"dest")));
    Released<PathArray> list = held(PathArray::pool());
    list->addText(scratch.at(L"c1.txt").c_str());
    list->addText(scratch.at(L"c2.txt").c_str());
    EXPECT_EQ(PathArray::SHELL_DONE, list->copyInto(scratch.at(L"dest").c_str(), true, nullptr));
    EXPECT_TRUE(Scratch::exists(scratch.at(L"dest\\c1.txt")));
    EXPECT_TRUE(Scratch::exists(scratch.at(L"dest\\c2.txt")));
    EXPECT_EQ(PathArray::SHELL_FAILED, held(PathArray::pool())->copyInto(scratch.at(L"dest").c_str(), false, nullptr));

    // Recycling (never with a confirmation here) succeeds exactly when the path is
    // gone: a shell without a recycle bin may answer "done" and leave it.
    auto one = path(scratch.at(L"c1.txt"));
    const bool recycled = one->recycle(false, true);
    EXPECT_EQ(!Scratch::exists(scratch.at(L"c1.txt")), recycled);
    Released<PathArray> copies = held(PathArray::pool());
    copies->addText(scratch.at(L"dest\\c1.txt").c_str());
    copies->addText(scratch.at(L"dest\\c2.txt").c_str());
    const bool all = copies->recycleAll(true, false, nullptr);
    EXPECT_EQ(!Scratch::exists(scratch.at(L"dest\\c1.txt")) && !Scratch::exists(scratch.at(L"dest\\c2.txt")), all);
    EXPECT_FALSE(path(L"C:\\")->recycle(false, false));
}

TEST(Shell, OpeningGoesThroughTheReplaceableCall) {
    ShellSpy spy;
    EXPECT_TRUE(shell::shellOpen(L"http://example.com/"));
    EXPECT_FALSE(shell::shellOpen(L""));
    EXPECT_FALSE(shell::shellOpen(nullptr));
    EXPECT_TRUE(shell::showShellProperties(L"C:\\x.mp3"));
    ASSERT_EQ(2u, shellCalls.size());
    EXPECT_EQ(L"open", shellCalls[0].verb);
    EXPECT_EQ(L"http://example.com/", shellCalls[0].file);
    EXPECT_EQ(SW_SHOW, shellCalls[0].show);
    EXPECT_EQ(L"properties", shellCalls[1].verb);
    EXPECT_EQ(static_cast<ULONG>(SEE_MASK_INVOKEIDLIST), shellCalls[1].mask);
}

TEST(Shell, MultiFilePropertiesShowOnlyWithSomethingToShow) {
    Scratch scratch;
    ASSERT_TRUE(Scratch::write(scratch.at(L"p.txt"), "p"));
    shell::MultiFilePropertiesFn previous = shell::setMultiFileProperties(&recordProperties);
    propertiesShown = 0;
    const std::wstring file = scratch.at(L"p.txt");
    const wchar_t* texts[] = {file.c_str(), nullptr};
    EXPECT_TRUE(shell::showMultiFileProperties(2, texts));
    EXPECT_EQ(1, propertiesShown);
    EXPECT_FALSE(shell::showMultiFileProperties(0, texts));
    EXPECT_EQ(1, propertiesShown);
    shell::setMultiFileProperties(previous);
}

TEST(Shell, SpecialFoldersAndTemporaryFiles) {
    auto module = held(shell::getModulePath());
    EXPECT_TRUE(module->exists());
    EXPECT_TRUE(module->isExe());
    EXPECT_STREQ(L"fileops_tests.exe", module->getName());

    auto first = held(shell::newTempFilePath());
    auto second = held(shell::newTempFilePath());
    ASSERT_TRUE(first && second);
    EXPECT_STRNE(first->getText(), second->getText());
    EXPECT_TRUE(first->exists());
    EXPECT_EQ(0, first->getSize(false, true, nullptr, nullptr, true));
    EXPECT_EQ(0, std::wcsncmp(L"NEW", first->getName(), 3));
    EXPECT_TRUE(first->remove(false, false));
    EXPECT_TRUE(second->remove(false, false));

    Released<StrBuffer> windows = held(shell::windowsFolderPathNew());
    EXPECT_TRUE(path(windows->c_str())->isDirectory());
    const StrBuffer* desktop = shell::desktopFolderPath();
    ASSERT_NE(nullptr, desktop);
    EXPECT_EQ(desktop, shell::desktopFolderPath());  // found once, shared
}

// Started again as a copy of this program in a deep folder (the variable names the
// report file): writes what getModulePath() answers there as UTF-16.
TEST(Shell, ModulePathOfACopyInADeepFolder) {
    const wchar_t* const reportVariable = L"BRISQUELTON_MODULE_PATH_REPORT";
    wchar_t reportFile[1024] = {};
    const DWORD reportLength = GetEnvironmentVariableW(reportVariable, reportFile, 1024);
    if (reportLength != 0 && reportLength < 1024) {
        auto module = held(shell::getModulePath());
        ASSERT_TRUE(module);
        const std::wstring answer = module->getText();
        ASSERT_TRUE(Scratch::write(reportFile, std::string(reinterpret_cast<const char*>(answer.data()),
                                                           answer.size() * sizeof(wchar_t))));
        return;
    }

    Scratch scratch;
    const std::wstring outer = scratch.at(std::wstring(120, L'd'));
    const std::wstring folder = outer + L"\\" + std::wstring(120, L'e');
    ASSERT_TRUE(Scratch::makeFolder(outer));
    ASSERT_TRUE(Scratch::makeFolder(folder));
    const std::wstring copy = folder + L"\\copy_of_fileops_tests.exe";
    ASSERT_GT(copy.size(), static_cast<size_t>(MAX_PATH));
    std::vector<wchar_t> self(32768);
    const DWORD selfLength = GetModuleFileNameW(nullptr, self.data(), 32768);
    ASSERT_TRUE(selfLength != 0 && selfLength < 32768);
    ASSERT_TRUE(CopyFileW(Scratch::longForm(self.data()).c_str(), Scratch::longForm(copy).c_str(), FALSE));

    const std::wstring report = scratch.at(L"report.bin");
    ASSERT_TRUE(SetEnvironmentVariableW(reportVariable, report.c_str()));
    const long exitCode = runLongPathProgram(copy, L"--gtest_filter=Shell.ModulePathOfACopyInADeepFolder", 60000);
    SetEnvironmentVariableW(reportVariable, nullptr);
    ASSERT_EQ(0, exitCode);
    std::string bytes;
    ASSERT_TRUE(Scratch::read(report, bytes));
    const std::wstring answer(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
    EXPECT_EQ(copy.size(), answer.size());
    EXPECT_EQ(copy, answer);
}

TEST(Shell, ShortNamesAndTheirLongForms) {
    Scratch scratch;
    const std::wstring longName = scratch.at(L"A rather long folder name\\Some long file name.mp3");
    ASSERT_TRUE(Scratch::makeFolder(scratch.at(L"A rather long folder name")));
    ASSERT_TRUE(Scratch::write(longName, "x"));

    const std::wstring shortText = systemShortForm(longName);
    // Whatever form the system gives, the long form is the original again.
    Released<StrBuffer> back = held(ShortPath::longForm(shortText.c_str(), nullptr, false));
    EXPECT_EQ(longName, back->c_str());
    // A component that cannot be found ends the conversion; the rest stays as given.
    Released<StrBuffer> partly = held(ShortPath::longForm((scratch.root() + L"\\NOPE~1\\x").c_str(), nullptr, false));
    EXPECT_EQ(scratch.root() + L"\\NOPE~1\\x", partly->c_str());
    // A "\\?\C:\" text is a drive path: the components right after the drive are
    // brought back too (the program folder has short names at both levels).
    wchar_t programs[MAX_PATH] = {};
    ASSERT_NE(0u, GetEnvironmentVariableW(L"ProgramFiles", programs, MAX_PATH));
    const std::wstring common = std::wstring(programs) + L"\\Common Files";
    const std::wstring commonShort = systemShortForm(common);
    ASSERT_NE(common, commonShort);
    const std::wstring prefixedShort = L"\\\\?\\" + commonShort;
    Released<StrBuffer> prefixedBack = held(ShortPath::longForm(prefixedShort.c_str(), nullptr, false));
    EXPECT_EQ(L"\\\\?\\" + common, prefixedBack->c_str());
}

TEST(Shell, ClockAndFileTimes) {
    auto fileTime = [](uint64_t units) {
        FILETIME t;
        t.dwLowDateTime = static_cast<DWORD>(units);
        t.dwHighDateTime = static_cast<DWORD>(units >> 32);
        return t;
    };
    const uint64_t epoch = 116444736000000000ULL;
    EXPECT_EQ(0, s::time::fileTimeToMillis(fileTime(epoch)));
    EXPECT_EQ(1, s::time::fileTimeToMillis(fileTime(epoch + 10000)));
    EXPECT_EQ(0, s::time::fileTimeToMillis(fileTime(epoch + 9999)));
    EXPECT_EQ(-1, s::time::fileTimeToMillis(fileTime(epoch - 10000)));

    auto units = [](FILETIME t) { return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    EXPECT_EQ(epoch, units(s::time::secondsToFileTime(0)));
    EXPECT_EQ(epoch + 10000000, units(s::time::secondsToFileTime(1)));
    EXPECT_EQ(1262304000000, s::time::fileTimeToMillis(s::time::secondsToFileTime(1262304000)));

    const int64_t now = static_cast<int64_t>(std::time(nullptr)) * 1000;
    EXPECT_NEAR(static_cast<double>(now), static_cast<double>(s::time::currentTimeMillis()), 5000.0);
    s::time::MillisFn previous = s::time::setClockSource(&fixedClock);
    EXPECT_EQ(42, s::time::currentTimeMillis());
    s::time::setClockSource(previous);
    EXPECT_NEAR(static_cast<double>(now), static_cast<double>(s::time::currentTimeMillis()), 5000.0);
}
