#pragma once
// What the logged-in user may reach, as the launcher and the selectors take it from the
// administration data. Read again before each use: they follow whoever has logged in, whenever
// that happened.
#include <string>

#include "dialogs/location.h"
#include "security/admin_data.h"
#include "shell/run_policy.h"

namespace vx::shell {

// The drives still barred after the log-in rules, and the forbidden extensions.
RunRestrictions run_restrictions(const security::AdminData& admin);

// The restricted directories the user does not pass, each as `read_restricted_entry` reads it
// with the station's environment and followed by "|": the selectors' list. An entry is never
// dropped; one that names nothing knowable closes every drive.
std::string restricted_folders(const security::AdminData& admin, const dialogs::Environment& environment);

}  // namespace vx::shell
