#include <gtest/gtest.h>

#include "core/str/strarray/StrArray.h"
#include "images/archive/CallBack.h"

using s::archive::CallBack;
using s::str::strarray::StrArray;

TEST(ArchiveCallBack, ResetRestoresTheStartValuesButOneField) {
    CallBack* c = CallBack::pool();
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->total(), 0);
    EXPECT_EQ(c->position(), 100);
    EXPECT_EQ(c->field(4), 100);
    EXPECT_EQ(c->statusList(), nullptr);

    int dummy;
    c->setStatusLabel(reinterpret_cast<s::gui::ILabel*>(&dummy));
    c->setTotal(5000);
    c->setPosition(7);
    for (uint32_t i = 0; i < CallBack::FIELD_COUNT; ++i) {
        c->setField(i, 40 + static_cast<int32_t>(i));
    }
    c->pointers().add(&dummy);
    StrArray* list = StrArray::pool();
    list->add(L"status");
    c->setStatusList(list);

    c->reset();
    EXPECT_EQ(c->statusLabel(), nullptr);
    EXPECT_EQ(c->total(), 0);
    EXPECT_EQ(c->position(), 100);
    EXPECT_EQ(c->field(0), 0);
    EXPECT_EQ(c->field(CallBack::KEPT_FIELD), 40 + static_cast<int32_t>(CallBack::KEPT_FIELD));
    EXPECT_EQ(c->field(4), 100);
    EXPECT_EQ(c->pointers().count(), 0u);
    EXPECT_EQ(c->statusList(), nullptr);
    // The released list went back to its pool, emptied.
    StrArray* next = StrArray::pool();
    EXPECT_EQ(next, list);
    EXPECT_EQ(next->count(), 0u);
    next->release();
    c->release();
}
