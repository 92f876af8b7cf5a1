#pragma once
#include <cstdint>

namespace s::process::commandline {

// What the framework's command-line parser fills: it splits the command line by the
// Windows rules (quotes group, backslashes before a quote escape it), skips the
// program name and hands every further argument to parseParam().
class CommandLineInfo {
public:
    virtual ~CommandLineInfo() = default;

    // One argument. flag: it began with "-" or "/", which is stripped from param.
    // last: it is the final argument.
    virtual void parseParam(const wchar_t* param, bool flag, bool last) = 0;

    // Parses the given command line (program name first) into info; false when the
    // text could not be split. Returns the number of arguments handed on in count.
    static bool parse(const wchar_t* commandLine, CommandLineInfo& info, uint32_t* count = nullptr);
    // The same for this process's own command line.
    static bool parseProcess(CommandLineInfo& info, uint32_t* count = nullptr);
};

} // namespace s::process::commandline
