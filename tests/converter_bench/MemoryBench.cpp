// Converts one short WAV to MP3 many times in one run of Brisquelton.exe (beside this
// program) and prints the process's working set and committed memory as the runs go by.
//   converter_memory_bench.exe [conversions]
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cwchar>
#include <set>

#include "converter/ConverterDriver.h"

using namespace convtest;

namespace {

void report(HANDLE process, int done) {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof(counters));
    std::printf("%5d  %8.1f  %8.1f\n", done, counters.WorkingSetSize / 1048576.0, counters.PagefileUsage / 1048576.0);
    std::fflush(stdout);
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const int total = argc > 1 ? _wtoi(argv[1]) : 200;
    const std::set<int> marks = {1, 10, 25, 50, 75, 100, 125, 150, 175, 200, total};
    Converter::prepare();
    const std::wstring dir = testsupport::freshTempFolder(L"memory-bench");
    const std::wstring input = dir + L"\\a.wav";
    const std::wstring output = dir + L"\\a.mp3";
    if (!writeWav(input, 48000, 2, 1.0, 0.25)) {
        std::printf("could not write %ls\n", input.c_str());
        return 1;
    }
    int failed = 0;
    {
        Converter program;
        if (program.frame() == nullptr) {
            std::printf("Brisquelton.exe showed no window\n");
            return 1;
        }
        std::printf(" runs  working set (MB)  committed (MB)\n");
        report(program.process(), 0);
        for (int done = 1; done <= total; ++done) {
            if (!program.convert({input}, output)) {
                ++failed;
            }
            DeleteFileW(output.c_str());
            if (marks.count(done) != 0) {
                report(program.process(), done);
            }
        }
        program.close(10000);
    }
    testsupport::removeTree(dir);
    apptest::deleteProductKey();
    std::printf("failed conversions: %d\n", failed);
    return failed == 0 ? 0 : 1;
}
