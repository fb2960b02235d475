#pragma once
#include <string>

namespace platform {

// The folder the running program was started from (links resolved), or an
// empty string when the system does not tell.
std::string executableDirectory();

}  // namespace platform
