// The per-thread module data and the input-queue yield, linked in directly.
#include "drawlib/com_common.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <thread>

namespace kelva::sub::test {
namespace {

std::vector<double> pointOf(const com::Variant& v) {
    std::vector<double> out;
    if (v.vt() != (VT_ARRAY | VT_R8)) return out;
    for (LONG i = 0; i < com::elementCount(V_ARRAY(v.get())); ++i) {
        double d = 0;
        SafeArrayGetElement(V_ARRAY(v.get()), &i, &d);
        out.push_back(d);
    }
    return out;
}

TEST(ModuleData, EachThreadHasItsOwnLastPickPoint) {
    ASSERT_TRUE(common::processAttach());
    EXPECT_TRUE(common::lastPickPoint().isEmpty());
    common::setLastPickPoint(*com::Variant::fromDoubles({1, 2, 3}).get());
    std::vector<double> seenElsewhere{-1};
    std::thread other([&] {
        seenElsewhere = pointOf(common::lastPickPoint());
        common::setLastPickPoint(*com::Variant::fromDoubles({9, 9, 9}).get());
        common::threadDetach();
    });
    other.join();
    EXPECT_TRUE(seenElsewhere.empty()) << "a new thread starts with Empty";
    EXPECT_EQ(pointOf(common::lastPickPoint()), (std::vector<double>{1, 2, 3}));
    // Overwritten by the next pick; the copy handed out earlier stays as it was.
    com::Variant earlier = common::lastPickPoint();
    common::setLastPickPoint(*com::Variant::fromDoubles({4, 5, 6}).get());
    EXPECT_EQ(pointOf(common::lastPickPoint()), (std::vector<double>{4, 5, 6}));
    EXPECT_EQ(pointOf(earlier), (std::vector<double>{1, 2, 3}));
    common::threadDetach();
    EXPECT_TRUE(common::lastPickPoint().isEmpty());
}

}  // namespace
}  // namespace kelva::sub::test
