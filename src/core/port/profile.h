#pragma once
// INI profile files (WIN.INI, SYSTEM.INI and the like).
#include <string>
#include <vector>

namespace vx {

class Profile {
public:
    virtual ~Profile() = default;
    virtual std::string read(const std::string& file, const std::string& section, const std::string& key,
                             const std::string& fallback) = 0;
    virtual bool write(const std::string& file, const std::string& section, const std::string& key,
                       const std::string& value) = 0;
    // The keys of a section in file order.
    virtual std::vector<std::string> keys(const std::string& file, const std::string& section) = 0;
};

}  // namespace vx
