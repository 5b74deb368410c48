#pragma once
// The installer core's file access on Win32: UTF-8 paths in, wide calls out.
#include "setup/setup_fs.h"

namespace kx {

class WinSetupFs : public vx::setup::SetupFs {
public:
    bool exists(const std::string& path) override;
    std::unique_ptr<Reader> open_read(const std::string& path) override;
    std::unique_ptr<Writer> create(const std::string& path) override;
    std::unique_ptr<Writer> open_write_shared(const std::string& path) override;
    bool remove(const std::string& path) override;
    bool truncate(const std::string& path, uint64_t size) override;
    bool make_dirs(const std::string& path) override;
    std::string short_path(const std::string& path) override;
};

}  // namespace kx
