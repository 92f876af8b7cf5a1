// Which systems the program runs on.
#include <gtest/gtest.h>

#include "app/CBrisquelApp.h"

namespace {

TEST(StartupRulesTest, RunsOnXpAndNt52AndFromVersion6On) {
    struct Case {
        bool isNT;
        uint32_t major, minor;
        bool runs;
    };
    const Case cases[] = {
        {true, 5, 0, false}, {true, 5, 1, true}, {true, 5, 2, true},  {false, 5, 1, false},
        {true, 4, 0, false}, {false, 4, 10, false}, {true, 6, 0, true}, {true, 6, 1, true},
        {true, 10, 0, true}, {true, 5, 3, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.runs, CBrisquelApp::isSupportedSystem(c.isNT, c.major, c.minor))
            << c.isNT << " " << c.major << "." << c.minor;
    }
}

} // namespace
