#include "editor/command.h"

#include <stdexcept>

namespace vx::editor {
namespace {

class Compound final : public Command {
public:
    Compound(std::string_view label, std::vector<CommandPtr> parts)
        : Command(label), parts_(std::move(parts)) {}

    void apply(model::Desktop& desktop, ChangeLog& log) override {
        size_t done = 0;
        try {
            for (; done < parts_.size(); ++done) parts_[done]->apply(desktop, log);
        } catch (...) {
            // A step is whole or nothing: take back the parts already applied.
            while (done > 0) parts_[--done]->revert(desktop, log);
            throw;
        }
    }

    void revert(model::Desktop& desktop, ChangeLog& log) override {
        size_t left = parts_.size();
        try {
            for (; left > 0; --left) parts_[left - 1]->revert(desktop, log);
        } catch (...) {
            for (; left < parts_.size(); ++left) parts_[left]->apply(desktop, log);
            throw;
        }
    }

    void renumber_icons(const IconRenumbering& new_number) override {
        for (auto& part : parts_) part->renumber_icons(new_number);
    }

private:
    std::vector<CommandPtr> parts_;
};

}  // namespace

void out_of_step(std::string_view what) {
    throw std::logic_error("editor history out of step with the desktop: " + std::string(what));
}

CommandPtr combine(std::string_view label, std::vector<CommandPtr> parts) {
    std::erase(parts, nullptr);
    if (parts.empty()) return nullptr;
    if (parts.size() == 1 && parts.front()->label() == label) return std::move(parts.front());
    return std::make_unique<Compound>(label, std::move(parts));
}

}  // namespace vx::editor
