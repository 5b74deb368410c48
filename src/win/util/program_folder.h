#pragma once
// Where the running program lies: its own folder holds the icon library, the pictures named
// without a folder, and comes first among the folders a bare program name is looked for in.
#include <string>

namespace vx::win {

// The full path of the running program's file; empty when the system does not say.
std::string program_path();
// The folder of `program_path()`, without a trailing separator; empty when unknown.
std::string program_folder();

}  // namespace vx::win
