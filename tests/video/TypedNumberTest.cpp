#include <gtest/gtest.h>

#include "app/video/TypedNumber.h"

namespace {

using s::video::TypedNumber;

TEST(TypedNumberTest, WholeNumbersAreReadIn64BitsAndEachKindKeepsItsRange) {
    constexpr int64_t NO = -777;
    struct Case {
        const wchar_t* text;
        int64_t number, megabytes, kbps, side;
    } cases[] = {
        {L"640", 640, 640, 640, 640},
        {L"0", 0, NO, NO, 0},
        {L"-5", -5, NO, NO, -5},
        {L"abc", NO, NO, NO, NO},
        {L"", NO, NO, NO, NO},
        {L"-", NO, NO, NO, NO},
        {L"12a", NO, NO, NO, NO},
        {L"--3", NO, NO, NO, NO},
        {L"10000001", 10000001, TypedNumber::MAX_FILE_SIZE_MB, 10000001, NO},
        {L"2147484", 2147484, 2147484, 2147484, NO},
        {L"2147483648", 2147483648LL, TypedNumber::MAX_FILE_SIZE_MB, NO, NO},
        {L"16383", 16383, 16383, 16383, 16383},
        {L"16384", 16384, 16384, 16384, NO},
        {L"9223372036854775807", INT64_MAX, TypedNumber::MAX_FILE_SIZE_MB, NO, NO},
        {L"-9223372036854775808", INT64_MIN, NO, NO, NO},
        {L"9223372036854775808", NO, NO, NO, NO},
        {L"99999999999999999999", NO, NO, NO, NO},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "\"" << std::wstring(c.text).size() << "\" chars, number " << c.number);
        int64_t n = NO;
        int32_t mb = NO, kbps = NO, side = NO;
        EXPECT_EQ(c.number != NO, TypedNumber::parse(c.text, &n));
        EXPECT_EQ(c.number, n);
        EXPECT_EQ(c.megabytes != NO, TypedNumber::fileSizeMb(c.text, &mb));
        EXPECT_EQ(c.megabytes, mb);
        EXPECT_EQ(c.kbps != NO, TypedNumber::bitRateKbps(c.text, &kbps));
        EXPECT_EQ(c.kbps, kbps);
        EXPECT_EQ(c.side != NO, TypedNumber::pictureSide(c.text, &side));
        EXPECT_EQ(c.side, side);
    }
}

} // namespace
