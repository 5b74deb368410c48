#include "editor/undo_stack.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "editor/object_commands.h"
#include "unit/editor/editor_fixture.h"

namespace vx::editor {
namespace {

using namespace vx::model;
using test::EditSession;

struct Fixture : EditSession {
    Page& page = desktop.add_page("P");
    ObjectId shape = desktop.add_object(page, ShapeData{}).id;
    CommandPtr nudge() { return make_move(desktop, {shape}, 1, 0); }
    int left() const { return data<ShapeData>(shape).bounds.left; }
};

TEST(UndoStack, UndoAndRedoWalkTheHistoryAndNameTheirSteps) {
    Fixture f;
    EXPECT_FALSE(f.stack.can_undo());
    EXPECT_EQ(f.stack.undo_label(), "");
    EXPECT_FALSE(f.stack.execute(nullptr)) << "a change of nothing is no step";
    f.stack.execute(f.nudge());
    f.stack.execute(make_group(f.desktop, {f.shape}));
    EXPECT_EQ(f.stack.undo_label(), "Group");
    ASSERT_TRUE(f.stack.undo());
    EXPECT_EQ(f.stack.undo_label(), "Move");
    EXPECT_EQ(f.stack.redo_label(), "Group");
    ASSERT_TRUE(f.stack.undo());
    EXPECT_EQ(f.left(), 0);
    EXPECT_FALSE(f.stack.undo());
    ASSERT_TRUE(f.stack.redo());
    f.stack.execute(f.nudge());
    EXPECT_FALSE(f.stack.can_redo()) << "a new step forgets the steps undone";
    EXPECT_EQ(f.left(), 2);
}

TEST(UndoStack, TheDesktopIsCleanExactlyAtTheLastSave) {
    Fixture f;
    EXPECT_FALSE(f.stack.dirty());
    f.stack.execute(f.nudge());
    EXPECT_TRUE(f.stack.dirty());
    f.stack.undo();
    EXPECT_FALSE(f.stack.dirty()) << "undone back to the saved state";
    f.stack.redo();
    f.stack.mark_saved();
    f.stack.undo();
    EXPECT_TRUE(f.stack.dirty());
    f.stack.redo();
    EXPECT_FALSE(f.stack.dirty());
    f.stack.undo();
    f.stack.execute(make_move(f.desktop, {f.shape}, 0, 5));
    f.stack.undo();
    EXPECT_TRUE(f.stack.dirty()) << "the saved state was undone away and cannot be reached again";
    f.stack.reset();
    EXPECT_FALSE(f.stack.dirty());
    EXPECT_FALSE(f.stack.can_redo());
}

TEST(UndoStack, TheOldestStepsAreForgottenBeyondTheDepth) {
    EditSession s;
    Page& p = s.desktop.add_page("P");
    const ObjectId id = s.desktop.add_object(p, ShapeData{}).id;
    UndoStack stack(s.desktop, s.events, 3);
    for (int i = 0; i < 5; ++i) stack.execute(make_move(s.desktop, {id}, 1, 0));
    int undone = 0;
    while (stack.undo()) ++undone;
    EXPECT_EQ(undone, 3);
    EXPECT_EQ(s.data<ShapeData>(id).bounds.left, 2);
    EXPECT_TRUE(stack.dirty()) << "the saved state was forgotten";
}

TEST(UndoStack, AFailingStepLeavesTheDesktopAndTheHistoryAsTheyWere) {
    Fixture f;
    f.stack.execute(f.nudge());
    // A part that names an object removed behind the stack's back fails after the first part ran.
    const ObjectId doomed = f.desktop.add_object(f.page, LabelData{}).id;
    std::vector<CommandPtr> parts;
    parts.push_back(make_move(f.desktop, {f.shape}, 10, 10));
    parts.push_back(make_move(f.desktop, {doomed}, 10, 10));
    CommandPtr step = combine("Align", std::move(parts));
    f.desktop.delete_object(f.page, *f.desktop.find_object(doomed).entry);
    const std::string without = f.file();
    EXPECT_THROW(f.stack.execute(std::move(step)), std::logic_error);
    EXPECT_EQ(f.file(), without);
    EXPECT_EQ(f.stack.undo_label(), "Move");
    EXPECT_FALSE(f.stack.can_redo());
    f.stack.undo();
    EXPECT_EQ(f.left(), 0);
}

TEST(UndoStack, AListenerMayEndAnotherSubscriptionDuringANotice) {
    Fixture f;
    int second_called = 0;
    ChangeEvents::Subscription second;
    ChangeEvents::Subscription first = f.events.subscribe([&](const ChangeSet&) { second.reset(); });
    second = f.events.subscribe([&](const ChangeSet&) { ++second_called; });
    f.stack.execute(f.nudge());
    EXPECT_EQ(second_called, 0);
    EXPECT_EQ(f.notices.size(), 1u);
}

}  // namespace
}  // namespace vx::editor
