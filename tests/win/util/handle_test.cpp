#include <gtest/gtest.h>

#include <map>
#include <type_traits>

#include "win/util/handle.h"

namespace vx::win {
namespace {

// A handle type whose closes are counted, so a double close or a leak shows as a count other
// than one.
std::map<int, int> g_closes;

struct CountingTraits {
    using type = int;
    static type invalid() noexcept { return -1; }
    static bool is_valid(const type& v) noexcept { return v != -1; }
    static void close(type v) noexcept { ++g_closes[v]; }
};
using counted = unique_handle<CountingTraits>;

static_assert(!std::is_copy_constructible_v<counted> && !std::is_copy_assignable_v<counted>);
static_assert(std::is_nothrow_move_constructible_v<counted> && std::is_nothrow_move_assignable_v<counted>);
static_assert(!std::is_copy_constructible_v<unique_hpen> && !std::is_copy_constructible_v<unique_window_dc>);
static_assert(!std::is_copy_constructible_v<scoped_select> && !std::is_move_constructible_v<scoped_select>);
static_assert(!std::is_constructible_v<scoped_select, HDC, HRGN>, "regions are selected with SelectClipRgn");

TEST(UniqueHandle, EveryValueIsClosedExactlyOnceThroughMovesResetsAndSwaps) {
    g_closes.clear();
    int released = -1;
    {
        counted a(1);
        counted b(std::move(a));  // 1 moves to b
        EXPECT_FALSE(a);
        EXPECT_EQ(b.get(), 1);

        counted c(2);
        c = std::move(b);  // 2 closed now, c holds 1
        EXPECT_EQ(g_closes[2], 1);
        EXPECT_EQ(g_closes[1], 0);

        auto& alias = c;
        c = std::move(alias);  // self-move keeps the value open
        EXPECT_EQ(c.get(), 1);
        EXPECT_EQ(g_closes[1], 0);

        counted d(3);
        swap(c, d);  // c 3, d 1
        d.reset(4);  // closes 1
        EXPECT_EQ(g_closes[1], 1);

        counted e(5);
        released = e.release();
        EXPECT_FALSE(e);

        counted f(6);
        *f.put() = 7;  // put() closes 6 before the API writes
        EXPECT_EQ(g_closes[6], 1);
        EXPECT_EQ(f.get(), 7);
    }
    EXPECT_EQ(released, 5);
    EXPECT_EQ(g_closes[5], 0) << "a released value belongs to the caller";
    for (int v : {1, 2, 3, 4, 6, 7}) EXPECT_EQ(g_closes[v], 1) << "value " << v;
    EXPECT_EQ(g_closes.count(-1), 0u) << "the empty value must never be closed";
}

TEST(UniqueHandle, RealHandlesAreGivenBack) {
    HPEN raw_pen = nullptr;
    HANDLE raw_event = nullptr;
    {
        unique_hpen pen(CreatePen(PS_SOLID, 1, RGB(1, 2, 3)));
        ASSERT_TRUE(pen);
        raw_pen = pen.get();
        unique_event event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        ASSERT_TRUE(event);
        raw_event = event.get();
        unique_event moved = std::move(event);
        EXPECT_EQ(GetObjectType(raw_pen), static_cast<DWORD>(OBJ_PEN));
    }
    EXPECT_EQ(GetObjectType(raw_pen), 0u);
    DWORD flags = 0;
    EXPECT_FALSE(GetHandleInformation(raw_event, &flags));

    // The "none" value of file handles is INVALID_HANDLE_VALUE, not null.
    unique_hfile file(
        CreateFileW(L"Z:\\no\\such\\folder\\file.txt", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(file);
    EXPECT_FALSE(unique_hfile(nullptr));
}

TEST(ScopedSelect, PutsThePreviousObjectBackInNestedScopes) {
    unique_memory_dc dc(CreateCompatibleDC(nullptr));
    ASSERT_TRUE(dc);
    const HGDIOBJ original = GetCurrentObject(dc.get(), OBJ_PEN);
    unique_hpen red(CreatePen(PS_SOLID, 1, RGB(255, 0, 0)));
    unique_hpen blue(CreatePen(PS_SOLID, 1, RGB(0, 0, 255)));
    {
        const scoped_select outer(dc.get(), red.get());
        ASSERT_TRUE(outer.ok());
        EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_PEN), red.get());
        {
            const scoped_select inner(dc.get(), blue.get());
            EXPECT_EQ(inner.previous(), red.get());
            EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_PEN), blue.get());
        }
        EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_PEN), red.get());
    }
    EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_PEN), original);

    // A failed selection has nothing to restore and must leave the DC alone.
    {
        const scoped_select bad(dc.get(), static_cast<HGDIOBJ>(nullptr));
        EXPECT_FALSE(bad.ok());
    }
    EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_PEN), original);
}

TEST(UniqueWindowDc, ReleasesTheDcOfItsOwnWindow) {
    HWND desktop = GetDesktopWindow();
    unique_window_dc dc = get_window_dc(desktop);
    ASSERT_TRUE(dc);
    EXPECT_EQ(dc.get().window, desktop);
    unique_window_dc moved = std::move(dc);
    EXPECT_FALSE(dc);
    EXPECT_TRUE(moved);
}

}  // namespace
}  // namespace vx::win
