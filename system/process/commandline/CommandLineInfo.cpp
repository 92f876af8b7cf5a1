#include "system/process/commandline/CommandLineInfo.h"

#include <windows.h>
#include <shellapi.h>

namespace s::process::commandline {

namespace {

// Whether the text holds the program name and nothing after it but blanks, the name taken
// as the splitter takes it (quoted up to the next quote, else up to a blank or a control
// character): a start without arguments then needs no split, and the shell's DLL is not
// loaded for it.
bool namesProgramAlone(const wchar_t* text) {
    const wchar_t* s = text;
    if (*s == L'"') {
        ++s;
        while (*s != 0 && *s++ != L'"') {
        }
    } else {
        while (*s > L' ') {
            ++s;
        }
    }
    while (*s == L' ' || *s == L'\t') {
        ++s;
    }
    return *s == 0;
}

} // namespace

bool CommandLineInfo::parse(const wchar_t* commandLine, CommandLineInfo& info, uint32_t* count) {
    if (count != nullptr) {
        *count = 0;
    }
    // An empty text would make the splitter report this executable as the only
    // argument, which is what an empty command line means anyway: nothing to hand on.
    if (commandLine == nullptr || commandLine[0] == 0 || namesProgramAlone(commandLine)) {
        return true;
    }
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(commandLine, &argc);
    if (argv == nullptr) {
        return false;
    }
    for (int i = 1; i < argc; ++i) {
        const wchar_t* param = argv[i];
        const bool flag = param[0] == L'-' || param[0] == L'/';
        info.parseParam(flag ? param + 1 : param, flag, i == argc - 1);
    }
    if (count != nullptr && argc > 1) {
        *count = static_cast<uint32_t>(argc - 1);
    }
    LocalFree(argv);
    return true;
}

bool CommandLineInfo::parseProcess(CommandLineInfo& info, uint32_t* count) {
    return parse(GetCommandLineW(), info, count);
}

} // namespace s::process::commandline
