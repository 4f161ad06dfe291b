// The files through which a windows test talks to the stand-in VM library,
// all beside it: the scenario the test writes, the record the library
// appends, and the files that let a held thread go on (README.md describes
// their lines).
#pragma once

#include <cstdint>

namespace tala::test::standin {

inline constexpr wchar_t kRecordFileName[] = L"standin-record.txt";
inline constexpr wchar_t kScenarioFileName[] = L"standin-scenario.txt";
// A thread held at a point waits for this name followed by the point
// ("standin-release-create").
inline constexpr wchar_t kReleaseFileName[] = L"standin-release-";

// The exit code of a process in which the stand-in caught a call it did not
// plan for, or a broken rule: no launcher path ends with it.
inline constexpr std::uint32_t kStandInFailureExitCode = 0x0BADC0DE;

} // namespace tala::test::standin
