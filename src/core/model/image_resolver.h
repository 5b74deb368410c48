#pragma once
// Where an image object's picture file is looked for: as named, then under its file name in
// the program's folder, then in the desktop file's folder. A port, so that tests and tools
// decide what exists without touching the disk.
#include <optional>
#include <string>
#include <string_view>

namespace vx::model {

class ImageResolver {
public:
    virtual ~ImageResolver() = default;
    // The path of the file to load for `name`, or nullopt when there is none.
    virtual std::optional<std::string> resolve(std::string_view name) const = 0;
};

class FolderImageResolver final : public ImageResolver {
public:
    FolderImageResolver(std::string program_dir, std::string desktop_dir)
        : program_dir_(std::move(program_dir)), desktop_dir_(std::move(desktop_dir)) {}
    std::optional<std::string> resolve(std::string_view name) const override;

private:
    std::string program_dir_;
    std::string desktop_dir_;
};

}  // namespace vx::model
