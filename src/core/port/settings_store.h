#pragma once
// Registry values under one key of the current user, stored as text.
#include <optional>
#include <string>

namespace vx {

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // nullopt when the value is absent. Names compare without regard to case.
    virtual std::optional<std::string> read(const std::string& section, const std::string& name) = 0;
    // Throws std::runtime_error with the user-facing message on a registry failure.
    virtual void write(const std::string& section, const std::string& name, const std::string& value) = 0;
};

}  // namespace vx
