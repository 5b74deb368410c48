#include "editor/surface_edit.h"

#include <gtest/gtest.h>

#include <set>

#include "editor/hit_test.h"
#include "editor/undo_stack.h"

namespace vx::editor {
namespace {

using namespace vx::model;
using port::Point;

// A page with shapes placed by the test; the undo stack runs what the gestures end in.
struct Surface {
    Desktop desktop;
    ChangeEvents events;
    UndoStack stack{desktop, events};
    Page* page = nullptr;
    Selection selection;
    GridSettings grid;
    SurfaceGestures gestures{desktop, selection, grid};

    Surface() {
        desktop.create_master_page();
        page = &desktop.add_page("Page 1");
        desktop.set_current(page);
    }
    ObjectId add(Bounds b, int tag = 0) {
        ShapeData s;
        s.bounds = b;
        s.tag = tag;
        return desktop.add_object(*page, s).id;
    }
    ObjectId add_button(Bounds b) {
        ButtonData d;
        d.bounds = b;
        return desktop.add_object(*page, d).id;
    }
    Bounds bounds(ObjectId id) const { return bounds_of(desktop.find_object(id).entry->data); }
    PressResult press(Point p, MouseButton button = MouseButton::Left, bool shift = false, bool ctrl = false,
                      Tool tool = Tool::Selector) {
        return gestures.press(*page, tool, {p, button, shift, ctrl});
    }
    MoveResult move(Point p) { return gestures.move(p, p.y, 10000); }
    ReleaseResult release(Point p) { return gestures.release(*page, {p}); }
    // Runs what the release asks for, as the window does.
    ReleaseResult drag(Point from, Point to) {
        press(from);
        move(to);
        ReleaseResult r = release(to);
        if (r.command) stack.execute(std::move(r.command));
        return r;
    }
    std::set<ObjectId> selected() const { return {selection.ids().begin(), selection.ids().end()}; }
};

TEST(Snap, MovesDownToTheGridLineAtOrBefore) {
    struct Case {
        int value, grid, snapped;
    } cases[] = {
        {23, 10, 20},
        {47, 10, 40},
        {40, 10, 40},
        {0, 10, 0},
        {9, 4, 8},
        // Left of the origin the line before is further left, not toward 0.
        {-3, 10, -10},
        {-10, 10, -10},
        {-11, 10, -20},
        // A grid that cannot be divided by leaves the value alone.
        {17, 0, 17},
    };
    for (const Case& c : cases)
        EXPECT_EQ(snap_down(c.value, c.grid), c.snapped) << c.value << " on " << c.grid;
    EXPECT_EQ(snap_point({23, 47}, {10, 10, false, true}), (Point{20, 40}));
    EXPECT_EQ(snap_point({23, 47}, {10, 10, false, false}), (Point{23, 47}));
    EXPECT_EQ(snap_point({23, 47}, {4, 25, false, true}), (Point{20, 25}));
}

TEST(Snap, TypedGridSpacingIsBroughtIntoRange) {
    const std::pair<int, int> cases[] = {{0, 4}, {3, 4}, {4, 4}, {57, 57}, {100, 100}, {101, 100}, {-5, 4}};
    for (auto [typed, kept] : cases) EXPECT_EQ(clamp_grid(typed), kept) << typed;
}

TEST(GridDots, OnePixelBeforeEachLineWithinTheClient) {
    std::vector<Point> dots;
    const GridSettings grid{10, 20, true, false};
    for_each_grid_dot(grid, {0, 0}, {30, 41}, [&](Point p) { dots.push_back(p); });
    EXPECT_EQ(dots, (std::vector<Point>{{9, 19}, {19, 19}, {29, 19}, {9, 39}, {19, 39}, {29, 39}}));

    // Scrolled: the lines move with the page, and dots left of or above the client are skipped.
    dots.clear();
    for_each_grid_dot(grid, {15, 25}, {20, 20}, [&](Point p) { dots.push_back(p); });
    EXPECT_EQ(dots, (std::vector<Point>{{4, 14}, {14, 14}}));

    // Scrolled onto a line: the dot in column 0 is drawn.
    dots.clear();
    for_each_grid_dot({10, 10, true, false}, {19, 19}, {5, 5}, [&](Point p) { dots.push_back(p); });
    EXPECT_EQ(dots, (std::vector<Point>{{0, 0}}));

    dots.clear();
    for_each_grid_dot({10, 10, false, true}, {0, 0}, {100, 100}, [&](Point p) { dots.push_back(p); });
    EXPECT_TRUE(dots.empty()) << "the grid is not shown";
}

TEST(MousePosition, ReadsXByY) {
    EXPECT_EQ(mouse_position_text({12, 345}), "12 x 345");
    EXPECT_EQ(mouse_position_text({-4, 0}), "-4 x 0");
}

TEST(Selection, AGroupIsSelectedTogetherAndUngroupedAlone) {
    Surface s;
    const ObjectId a = s.add({10, 10, 20, 20}, 3);
    const ObjectId lone = s.add({100, 10, 20, 20});
    const ObjectId b = s.add({200, 10, 20, 20}, 3);
    const ObjectId other = s.add({300, 10, 20, 20}, 4);

    s.press({15, 15});  // on a
    EXPECT_EQ(s.selection.ids(), (ObjectIds{b, a})) << "the page's members, front to back";
    EXPECT_FALSE(s.selection.contains(lone));
    EXPECT_FALSE(s.selection.contains(other));
    s.release({15, 15});

    s.stack.execute(make_ungroup(s.desktop, s.selection.ids()));
    s.selection.clear();
    s.press({15, 15});
    EXPECT_EQ(s.selection.ids(), (ObjectIds{a}));
}

TEST(Selection, PruneDropsWhatThePageNoLongerHoldsAndFrameIsTheUnion) {
    Surface s;
    const ObjectId a = s.add({10, 20, 30, 40});
    const ObjectId b = s.add({100, 5, 10, 10});
    s.selection.select_all(*s.page);
    EXPECT_EQ(s.selection.frame(s.desktop), (Bounds{10, 5, 100, 55}));
    s.stack.execute(make_delete(s.desktop, {b}));
    s.selection.prune(*s.page);
    EXPECT_EQ(s.selection.ids(), (ObjectIds{a}));
    s.selection.clear();
    EXPECT_FALSE(s.selection.frame(s.desktop));
}

TEST(RubberBand, EitherDirectionGivesTheSameSelectionAndTheSameNewRect) {
    const std::pair<Point, Point> bands[] = {{{5, 5}, {125, 95}}, {{125, 95}, {5, 5}}, {{125, 5}, {5, 95}}};
    for (auto [from, to] : bands) {
        Surface s;
        const ObjectId in = s.add({10, 10, 20, 20});
        const ObjectId touching = s.add({60, 10, 65, 20});  // right edge on the band's edge
        const ObjectId out = s.add({200, 10, 20, 20});
        EXPECT_EQ(s.press(from).outcome, PressOutcome::RubberBand);
        s.move(to);
        EXPECT_EQ(s.gestures.feedback(), (port::Rect{5, 5, 125, 95}));
        const ReleaseResult r = s.release(to);
        EXPECT_EQ(r.outcome, ReleaseOutcome::Selected);
        EXPECT_EQ(s.selected(), (std::set<ObjectId>{in})) << "touching " << touching << " out " << out;

        s.press(from, MouseButton::Left, false, false, Tool::Shape);
        s.move(to);
        const ReleaseResult made = s.release(to);
        EXPECT_EQ(made.outcome, ReleaseOutcome::NewObject);
        EXPECT_EQ(made.tool, Tool::Shape);
        EXPECT_EQ(made.rect, (Bounds{5, 5, 120, 90}));
        EXPECT_FALSE(s.gestures.active());
    }
}

TEST(RubberBand, StartsSnappedAndSelectsGroupsWhole) {
    Surface s;
    s.grid.snap = true;
    s.press({23, 47});
    EXPECT_EQ(s.gestures.feedback(), (port::Rect{20, 40, 20, 40}));
    s.move({58, 69});
    EXPECT_EQ(s.gestures.feedback(), (port::Rect{20, 40, 50, 60}));
    s.gestures.cancel();

    const ObjectId inside = s.add({10, 10, 10, 10}, 7);
    const ObjectId far_member = s.add({300, 300, 10, 10}, 7);
    s.press({0, 0});
    s.move({50, 50});
    s.release({50, 50});
    EXPECT_EQ(s.selected(), (std::set<ObjectId>{inside, far_member}));
}

TEST(Press, WhatEachPressAsksFor) {
    struct Case {
        const char* what;
        Point p;
        MouseButton button;
        bool ctrl;
        Tool tool;
        PressOutcome outcome;
    } cases[] = {
        {"left on the bare page",
         {300, 300},
         MouseButton::Left,
         false,
         Tool::Selector,
         PressOutcome::RubberBand},
        {"right on the bare page",
         {300, 300},
         MouseButton::Right,
         false,
         Tool::Selector,
         PressOutcome::Popup},
        {"middle on the bare page",
         {300, 300},
         MouseButton::Middle,
         false,
         Tool::Selector,
         PressOutcome::Popup},
        {"left on an object", {30, 30}, MouseButton::Left, false, Tool::Selector, PressOutcome::Drag},
        {"right on an object", {30, 30}, MouseButton::Right, false, Tool::Selector, PressOutcome::EditObject},
        {"left with Ctrl on an object",
         {30, 30},
         MouseButton::Left,
         true,
         Tool::Selector,
         PressOutcome::RubberBand},
        {"right with Ctrl on an object",
         {30, 30},
         MouseButton::Right,
         true,
         Tool::Selector,
         PressOutcome::Popup},
        {"a creating tool draws over objects",
         {30, 30},
         MouseButton::Left,
         false,
         Tool::Label,
         PressOutcome::RubberBand},
        {"exactly on the edge misses",
         {10, 30},
         MouseButton::Left,
         false,
         Tool::Selector,
         PressOutcome::RubberBand},
    };
    for (const Case& c : cases) {
        Surface s;
        s.add({10, 10, 40, 40});
        const PressResult r = s.press(c.p, c.button, false, c.ctrl, c.tool);
        EXPECT_EQ(r.outcome, c.outcome) << c.what;
    }
}

TEST(Press, ANewlyHitObjectReplacesTheSelectionUnlessShift) {
    Surface s;
    const ObjectId a = s.add({10, 10, 40, 40});
    const ObjectId b = s.add({100, 10, 40, 40});
    PressResult r = s.press({20, 20});
    EXPECT_TRUE(r.load_palette);
    EXPECT_TRUE(r.selection_changed);
    EXPECT_EQ(r.object, a);
    s.gestures.cancel();

    r = s.press({120, 20}, MouseButton::Left, true);
    EXPECT_EQ(s.selection.ids(), (ObjectIds{a, b}));
    s.gestures.cancel();

    // A selected object pressed again keeps the selection as it is.
    r = s.press({20, 20});
    EXPECT_FALSE(r.selection_changed);
    EXPECT_FALSE(r.load_palette);
    EXPECT_EQ(s.selection.ids(), (ObjectIds{a, b}));
    s.gestures.cancel();

    r = s.press({120, 20});
    EXPECT_EQ(s.selection.ids(), (ObjectIds{a, b})) << "b is selected already";
    s.gestures.cancel();
    s.selection.clear();
    s.press({20, 20});
    EXPECT_EQ(s.selection.ids(), (ObjectIds{a}));
}

TEST(Drag, OnlyTheFramesTopLeftSnapsAndObjectsKeepTheirOffsets) {
    Surface s;
    s.grid.snap = true;
    const ObjectId a = s.add({13, 17, 20, 20});
    const ObjectId b = s.add({41, 52, 20, 20});
    s.selection.select_all(*s.page);
    s.press({20, 20});
    EXPECT_FALSE(s.gestures.feedback()) << "nothing drawn before the pointer moves";
    s.move({30, 30});
    s.move({44, 45});
    // The anchor is (13 + 24, 17 + 25) = (37, 42): the frame shows at (30, 40).
    EXPECT_EQ(s.gestures.feedback(), (port::Rect{30, 40, 30 + 48, 40 + 55}));
    ReleaseResult r = s.release({44, 45});
    ASSERT_EQ(r.outcome, ReleaseOutcome::Command);
    s.stack.execute(std::move(r.command));
    EXPECT_EQ(s.bounds(a), (Bounds{30, 40, 20, 20}));
    EXPECT_EQ(s.bounds(b), (Bounds{58, 75, 20, 20}));
    EXPECT_EQ(s.stack.undo_label(), "Move");
}

TEST(Drag, BackWhereItStartedIsNoStep) {
    Surface s;
    s.add({10, 10, 20, 20});
    s.press({15, 15});
    s.move({40, 40});
    s.move({15, 15});
    const ReleaseResult r = s.release({15, 15});
    EXPECT_EQ(r.outcome, ReleaseOutcome::None);
    EXPECT_FALSE(r.command);
    EXPECT_FALSE(s.gestures.active());
}

TEST(Drag, LeavingTheSurfaceDownwardTurnsIntoAPageDrag) {
    Surface s;
    const ObjectId a = s.add({10, 10, 20, 20});
    s.press({15, 15});
    MoveResult m = s.gestures.move({15, 200}, 200, 200);
    EXPECT_FALSE(m.page_drag) << "on the bottom edge is still on the surface";
    m = s.gestures.move({15, 201}, 201, 200);
    EXPECT_TRUE(m.page_drag);
    EXPECT_TRUE(m.feedback_changed);
    EXPECT_FALSE(s.gestures.active());
    EXPECT_FALSE(s.gestures.feedback());
    EXPECT_EQ(s.release({15, 201}).outcome, ReleaseOutcome::None);
    EXPECT_EQ(s.bounds(a), (Bounds{10, 10, 20, 20}));
}

TEST(Resize, PastTheOppositeEdgeFlipsToAPositiveRectangle) {
    struct Case {
        const char* what;
        int handle;
        Point to;  // where the handle's point is pulled
        Bounds result;
    } cases[] = {
        // The object is (100, 100, 40, 20): right 140, bottom 120.
        {"top-left past the bottom-right", 1, {160, 150}, {140, 120, 20, 30}},
        {"bottom-right past the top-left", 8, {80, 90}, {80, 90, 20, 10}},
        {"top-right past the bottom-left", 3, {90, 130}, {90, 120, 10, 10}},
        {"bottom-left moves left and down", 6, {90, 130}, {90, 100, 50, 30}},
        {"the top edge past the bottom, x ignored", 2, {500, 150}, {100, 120, 40, 30}},
        {"the left edge past the right, y ignored", 4, {150, 500}, {140, 100, 10, 20}},
        {"the right edge", 5, {150, 0}, {100, 100, 50, 20}},
        {"the bottom edge", 7, {0, 125}, {100, 100, 40, 25}},
    };
    for (const Case& c : cases) {
        Surface s;
        const ObjectId id = s.add({100, 100, 40, 20});
        s.selection.add(*s.page, id);
        const Point p = handle_point({100, 100, 40, 20}, c.handle);
        EXPECT_EQ(s.press(p).outcome, PressOutcome::Resize) << c.what;
        s.move(c.to);
        ReleaseResult r = s.release(c.to);
        ASSERT_EQ(r.outcome, ReleaseOutcome::Command) << c.what;
        s.stack.execute(std::move(r.command));
        EXPECT_EQ(s.bounds(id), c.result) << c.what;
    }
}

TEST(Resize, OnlyTheHandlesObjectChangesAndReleaseSnapsAllFourCoordinates) {
    Surface s;
    const ObjectId a = s.add({13, 13, 20, 20});
    const ObjectId b = s.add({103, 13, 20, 20});
    s.selection.select_all(*s.page);
    s.grid.snap = true;
    const Point handle = handle_point({103, 13, 20, 20}, 8);  // b's bottom-right, (123, 33)
    EXPECT_EQ(s.press(handle).outcome, PressOutcome::Resize);
    s.move({handle.x + 15, handle.y + 9});
    ReleaseResult r = s.release({0, 0});
    s.stack.execute(std::move(r.command));
    EXPECT_EQ(s.bounds(b), (Bounds{100, 10, 30, 30}));
    EXPECT_EQ(s.bounds(a), (Bounds{13, 13, 20, 20}));
    EXPECT_EQ(s.stack.undo_label(), "Resize");
}

TEST(Resize, HandlesAnswerOnlyTheLeftButtonAndOnlyWithASelection) {
    Surface s;
    const ObjectId id = s.add({100, 100, 40, 20});
    const Point corner = handle_point({100, 100, 40, 20}, 1);
    EXPECT_NE(s.press(corner).outcome, PressOutcome::Resize) << "no selection, no handles";
    s.gestures.cancel();
    s.selection.add(*s.page, id);
    EXPECT_EQ(s.press(corner, MouseButton::Right).outcome, PressOutcome::None);
    EXPECT_EQ(s.press(corner, MouseButton::Left, false, false, Tool::Button).outcome, PressOutcome::Resize);
    // A release where it was pressed changes nothing.
    EXPECT_EQ(s.release(corner).outcome, ReleaseOutcome::None);
}

TEST(DesignKeys, ActOnlyOnASelection) {
    const GridSettings snap{8, 12, false, true};
    const GridSettings free{8, 12, false, false};
    struct Case {
        unsigned key;
        bool ctrl, has_selection;
        GridSettings grid;
        DesignKey action;
        Point delta;
    } cases[] = {
        {0x6B, false, true, free, DesignKey::BringToFront, {}},
        {0x6B, false, false, free, DesignKey::None, {}},
        {0x6D, false, true, free, DesignKey::SendToBack, {}},
        {0x6D, false, false, free, DesignKey::None, {}},
        {0x2E, false, true, free, DesignKey::Delete, {}},
        {0x1B, false, true, free, DesignKey::ClearSelection, {}},
        {0x25, false, true, free, DesignKey::Nudge, {-1, 0}},
        {0x27, false, true, snap, DesignKey::Nudge, {8, 0}},
        {0x26, false, true, snap, DesignKey::Nudge, {0, -12}},
        {0x28, false, true, free, DesignKey::Nudge, {0, 1}},
        {0x28, false, false, free, DesignKey::None, {}},
        {0x6B, true, true, free, DesignKey::None, {}},  // a speed key's combination
        {0x41, false, true, free, DesignKey::None, {}},
    };
    for (const Case& c : cases) {
        const DesignKeyAction a = design_key(c.key, c.ctrl, false, c.has_selection, c.grid);
        EXPECT_EQ(a.action, c.action) << std::hex << c.key;
        EXPECT_EQ(a.delta, c.delta) << std::hex << c.key;
    }
}

TEST(ArrangeIcons, ButtonsWrapToColumnsTenApartPastTheSurface) {
    Surface s;
    s.page->left_margin = 5;
    s.page->top_margin = 7;
    // Added last = frontmost, so the list front to back is b1, shape, b2, b3, b4.
    const ObjectId b4 = s.add_button({0, 0, 30, 40});
    const ObjectId b3 = s.add_button({0, 0, 90, 40});
    const ObjectId b2 = s.add_button({0, 0, 50, 40});
    const ObjectId shape = s.add({300, 300, 10, 10});
    const ObjectId b1 = s.add_button({0, 0, 60, 40});
    CommandPtr c = make_arrange_icons(s.desktop, *s.page, 100);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->label(), "Align Icons");
    s.stack.execute(std::move(c));
    EXPECT_EQ(s.bounds(b1), (Bounds{5, 7, 60, 40}));
    EXPECT_EQ(s.bounds(b2), (Bounds{5, 57, 50, 40}));
    // 107 + 40 > 100: the next column steps over the first one's widest button.
    EXPECT_EQ(s.bounds(b3), (Bounds{75, 7, 90, 40}));
    EXPECT_EQ(s.bounds(b4), (Bounds{75, 57, 30, 40}));
    EXPECT_EQ(s.bounds(shape), (Bounds{300, 300, 10, 10}));
    EXPECT_FALSE(make_arrange_icons(s.desktop, *s.page, 100)) << "arranged already";
    s.stack.undo();
    EXPECT_EQ(s.bounds(b3), (Bounds{0, 0, 90, 40}));
}

TEST(ArrangeIcons, AButtonTallerThanTheSurfaceStillStartsTheFirstColumn) {
    Surface s;
    const ObjectId small = s.add_button({0, 0, 20, 20});
    const ObjectId tall = s.add_button({0, 0, 40, 500});
    s.stack.execute(make_arrange_icons(s.desktop, *s.page, 100));
    EXPECT_EQ(s.bounds(tall), (Bounds{10, 10, 40, 500}));
    EXPECT_EQ(s.bounds(small), (Bounds{60, 10, 20, 20}));
}

TEST(ClipboardTempName, CountsToTheFirstFreeName) {
    std::set<std::string> taken;
    auto exists = [&](const std::string& n) { return taken.count(n) > 0; };
    EXPECT_EQ(clipboard_temp_name("C:\\TEMP", exists), "C:\\TEMP\\$$$.00000001");
    taken.insert("C:\\TEMP\\$$$.00000001");
    taken.insert("C:\\TEMP\\$$$.00000002");
    EXPECT_EQ(clipboard_temp_name("C:\\TEMP\\", exists), "C:\\TEMP\\$$$.00000003");
}

TEST(AlignWindowPosition, StoredFieldsWithTheScreenReset) {
    const Point designed{200, 150};
    const port::Size screen{800, 600};
    struct Case {
        const char* stored;
        Point position;
    } cases[] = {
        {"10,20", {10, 20}}, {"", {200, 150}},    {"15", {15, 150}},
        {",25", {200, 25}},  {"x,40", {200, 40}}, {"770,570", {770, 570}},
        {"771,20", {0, 20}}, {"20,571", {20, 0}}, {"5000,5000", {0, 0}},
        {"-5,20", {0, 20}},  {"20,-1", {20, 0}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(align_window_position(c.stored, designed, screen), c.position) << c.stored;
    EXPECT_EQ(align_window_text({12, 34}), "12,34");
}

TEST(DroppedFiles, ShortcutsAndPlainFiles) {
    EXPECT_TRUE(is_shortcut_path("C:\\Desk\\Notes.lnk"));
    EXPECT_TRUE(is_shortcut_path("C:\\Desk\\Notes.LNK"));
    EXPECT_FALSE(is_shortcut_path("C:\\Desk.lnk\\Notes.txt"));
    EXPECT_FALSE(is_shortcut_path("C:\\Desk\\LNK"));

    ShellLink link;
    link.target = "C:\\APPS\\EDIT.EXE";
    link.arguments = "/r";
    link.working_directory = "C:\\WORK";
    DroppedButtonSource s = dropped_button_source({"C:\\Desk\\My Editor.lnk", link});
    EXPECT_EQ(s.command, "C:\\APPS\\EDIT.EXE /r");
    EXPECT_EQ(s.folder, "C:\\WORK");
    EXPECT_EQ(s.icon_source, "C:\\APPS\\EDIT.EXE");
    EXPECT_EQ(s.caption, "My Editor");
    link.icon_location = "C:\\ICONS\\PEN.ICO";
    link.arguments.clear();
    s = dropped_button_source({"C:\\Desk\\My Editor.lnk", link});
    EXPECT_EQ(s.icon_source, "C:\\ICONS\\PEN.ICO");
    EXPECT_EQ(s.command, "C:\\APPS\\EDIT.EXE");

    s = dropped_button_source({"C:\\DATA\\report.v2.doc", std::nullopt});
    EXPECT_EQ(s.command, "C:\\DATA\\report.v2.doc");
    EXPECT_EQ(s.folder, "C:\\DATA");
    EXPECT_EQ(s.icon_source, "C:\\DATA\\report.v2.doc");
    EXPECT_EQ(s.caption, "report.v2");
    EXPECT_EQ(dropped_button_source({"D:\\SETUP.EXE", std::nullopt}).folder, "D:\\");
}

TEST(DroppedFiles, ThreeFilesGiveButtonsSixPixelsApart) {
    ButtonData style;
    style.font.name = "Arial";
    style.font.color = 0x123456;
    style.color = 0x00FF00;
    style.transparent = true;
    style.pattern = 3;
    style.pen_color = 0x0000FF;
    style.btn_style = 9;  // not taken
    const DroppedButtonSource src{"C:\\A.EXE", "C:\\", "C:\\A.EXE", "A"};
    const Point cursor{100, 50};
    const Point expected[] = {{100, 50}, {106, 56}, {112, 62}};
    for (int i = 0; i < 3; ++i) {
        const ButtonData b = dropped_button(src, style, cursor, i, {30, 13}, 17);
        EXPECT_EQ(b.bounds, (Bounds{expected[i].x, expected[i].y, 95, 53})) << i;
        EXPECT_EQ(b.kind, kKindProgram);
        EXPECT_EQ(b.command, "C:\\A.EXE\r");
        EXPECT_EQ(b.command_lines, 1);
        EXPECT_EQ(b.directory, "C:\\");
        EXPECT_EQ(b.caption, "A");
        EXPECT_EQ(b.text_align, 0);
        EXPECT_EQ(b.font, style.font);
        EXPECT_EQ(b.color, style.color);
        EXPECT_TRUE(b.transparent);
        EXPECT_EQ(b.pattern, 3);
        EXPECT_EQ(b.pen_color, style.pen_color);
        EXPECT_EQ(b.btn_style, ButtonData{}.btn_style);
        EXPECT_EQ(b.icon, 17);
    }
}

}  // namespace
}  // namespace vx::editor
