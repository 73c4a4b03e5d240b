#include <gtest/gtest.h>

#include "tabctl/xtab_logic.h"

using namespace kelva::tabctl;

TEST(XTabCaptionKeys, KeyPositionSkipsDoubledAmpersands) {
    EXPECT_EQ(keyPosition(L"&File"), 1u);
    EXPECT_EQ(keyPosition(L"Fish && Chips"), 0u);
    EXPECT_EQ(keyPosition(L"Save && &Exit"), 9u);
}
