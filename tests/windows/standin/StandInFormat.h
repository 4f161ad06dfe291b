// The files beside the stand-in VM library through which a test talks to it (README.md).
#pragma once

#include <cstdint>

namespace tala::test::standin {

inline constexpr wchar_t kRecordFileName[] = L"standin-record.txt";
inline constexpr wchar_t kScenarioFileName[] = L"standin-scenario.txt";
// Followed by the point a thread is held at: "standin-release-create".
inline constexpr wchar_t kReleaseFileName[] = L"standin-release-";

// The exit code after a broken rule: no launcher path ends with it.
inline constexpr std::uint32_t kStandInFailureExitCode = 0x0BADC0DE;

} // namespace tala::test::standin
