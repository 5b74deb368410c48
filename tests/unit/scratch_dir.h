#pragma once
// A folder of the running test's own under the system's temporary folder: empty at the start,
// removed with everything in it at the end.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <system_error>

#include "util/file_io.h"

namespace vx::testing {

class ScratchDir {
public:
    explicit ScratchDir(const std::string& prefix = "vx_") {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = std::filesystem::temp_directory_path() /
                (prefix + std::string(info->test_suite_name()) + "_" + info->name());
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~ScratchDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string str() const { return path_to_utf8(path_); }
    std::string file(const std::string& name) const { return join_path(str(), name); }

private:
    std::filesystem::path path_;
};

}  // namespace vx::testing
