#pragma once
#include <cstdint>

#include "core/thread/ClassPool.h"
#include "core/thread/IPoolable.h"
#include "system/process/commandline/CommandLineInfo.h"
#include "system/process/commandline/ICommandLine.h"

namespace s::str::strarray { class StrArray; }

namespace s::process::commandline::win {

// The program's arguments, filled once at start-up by the command-line parser:
//   CommandLine* line = CommandLine::pool();
//   CommandLineInfo::parseProcess(*line);
//   line->finishParse();
// Flags are kept as "-" + text, so "/x" and "-x" are stored alike; other arguments
// are kept unchanged.
class CommandLine : public ICommandLine, public thread::IPoolable, public CommandLineInfo {
    S_POOLED_CLASS(CommandLine, 1000, L"s_process_commandline_win_CommandLine")
public:
    ~CommandLine() override;
    CommandLine(const CommandLine&) = delete;
    CommandLine& operator=(const CommandLine&) = delete;

    uint32_t argumentCount() const override;
    const str::strbuffer::StrBuffer* argument(uint32_t index) const override;
    uint32_t finishParse() override { return argumentCount(); }

    void parseParam(const wchar_t* param, bool flag, bool last) override;

    // Empties the list.
    void reset() override;

private:
    CommandLine();

    str::strarray::StrArray* arguments_;
};

} // namespace s::process::commandline::win
