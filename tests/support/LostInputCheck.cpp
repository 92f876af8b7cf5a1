// Fails a test whose input had to be repeated twice (support/LostInput.h says why).
#include <gtest/gtest.h>

#include <string>

#include "support/LostInput.h"

namespace {

class LostInputCheck : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override {
        std::string ignored;
        testsupport::LostInput::take(&ignored);
    }
    void OnTestEnd(const ::testing::TestInfo&) override {
        std::string what;
        const int repeats = testsupport::LostInput::take(&what);
        EXPECT_LT(repeats, 2) << "input was lost and made again " << repeats << " times (" << what
                              << "): the program takes no first click or drag";
    }
};

const bool listening = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new LostInputCheck);
    return true;
}();

} // namespace
