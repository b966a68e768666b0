// The program's version, given once by the build (the project's version).
#pragma once

namespace rel {

inline constexpr const char* kVersion = RELAN_VERSION;

}  // namespace rel
