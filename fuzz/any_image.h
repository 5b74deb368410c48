#pragma once
// Every named picture is found, so that the readers under fuzzing keep every image name.
#include <optional>
#include <string>
#include <string_view>

#include "model/image_resolver.h"

namespace vx::fuzz {

class AnyImage final : public model::ImageResolver {
public:
    std::optional<std::string> resolve(std::string_view name) const override {
        if (name.empty()) return std::nullopt;
        return std::string(name);
    }
};

}  // namespace vx::fuzz
