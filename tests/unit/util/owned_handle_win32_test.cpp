#include "util/owned_handle_win32.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

bool alive(HRGN region) {
    return GetObjectType(region) == OBJ_REGION;
}

// A region is freed once, by its last owner, and not at all once handed on.
TEST(OwnedHandle, FreesOnceByTheLastOwnerAndNeverAfterRelease) {
    HRGN first = CreateRectRgn(0, 0, 4, 4);
    HRGN second = CreateRectRgn(0, 0, 2, 2);
    {
        OwnedRegion owner(first);
        OwnedRegion moved(std::move(owner));
        EXPECT_FALSE(owner);
        moved.reset(second);
        EXPECT_FALSE(alive(first));
        EXPECT_TRUE(alive(second));
    }
    EXPECT_FALSE(alive(second));

    HRGN kept = CreateRectRgn(0, 0, 1, 1);
    {
        OwnedRegion owner(kept);
        EXPECT_EQ(owner.release(), kept);
    }
    EXPECT_TRUE(alive(kept));
    DeleteObject(kept);
}

// A window that takes a region owns it (and may free it at once); the owner is left empty.
TEST(OwnedHandle, GiveRegionLeavesTheRegionWithTheWindow) {
    HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 8, 8, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    OwnedRegion owner(CreateRectRgn(0, 0, 4, 4));
    giveRegion(window, &owner);
    EXPECT_FALSE(owner);
    OwnedRegion shape(CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(GetWindowRgn(window, shape.get()), SIMPLEREGION);
    DestroyWindow(window);
}

} // namespace
