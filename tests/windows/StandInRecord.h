// The stand-in VM library's variants installed, given scenarios, and their records read back.
#pragma once

#include "os/TextConversion.h"
#include "os/Utf8.h"
#include "tests/shared/TestFiles.h"
#include "tests/windows/LauncherUnderTest.h"
#include "tests/windows/standin/StandInFormat.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace tala::test {

inline constexpr wchar_t kStandInVm[] = L"standin-jvm.dll";
inline constexpr wchar_t kStandInVmWithoutBootLoader[] = L"standin-jvm-no-boot-loader.dll";
inline constexpr wchar_t kStandInVmWithoutCreate[] = L"standin-jvm-no-create.dll";

inline void InstallStandIn(const wchar_t* variant, const std::filesystem::path& vmLibrary)
{
    std::filesystem::create_directories(vmLibrary.parent_path());
    std::filesystem::copy_file(BesideThisProgram(variant), vmLibrary,
                               std::filesystem::copy_options::overwrite_existing);
}

// A text in this process's ANSI code page, as the launcher hands narrow text over.
inline std::string Ansi(const std::wstring& text)
{
    return os::ToAnsiCodePage(std::u16string(text.begin(), text.end()));
}

class StandInRecord {
public:
    explicit StandInRecord(const std::filesystem::path& vmLibrary)
        : text_(ReadBytes(vmLibrary.parent_path() / standin::kRecordFileName))
    {
        std::istringstream lines(text_);
        for (std::string line; std::getline(lines, line);) lines_.push_back(line);
    }

    const std::string& Text() const { return text_; } // for failure messages

    // What follows the kind word on each line of that kind, in order.
    std::vector<std::string> Values(const std::string& kind) const
    {
        std::vector<std::string> values;
        for (const std::string& line : lines_) {
            if (line.rfind(kind + " ", 0) == 0) values.push_back(line.substr(kind.size() + 1));
            if (line == kind) values.emplace_back();
        }
        return values;
    }

    // The arguments of every call of that name ("main", "secondaryMain").
    std::vector<std::vector<std::u16string>> ArgumentsOfCalls(const std::string& call) const
    {
        std::vector<std::vector<std::u16string>> calls;
        bool inCall = false;
        for (const std::string& line : lines_) {
            if (line.rfind("call ", 0) == 0) {
                inCall = line.rfind("call " + call + " ", 0) == 0;
                if (inCall) calls.emplace_back();
            } else if (inCall && line.rfind("argument", 0) == 0) {
                calls.back().push_back(os::FromUtf8(line.substr(std::min<std::size_t>(line.size(), 9))));
            }
        }
        return calls;
    }

    std::optional<std::vector<std::u16string>> Arguments() const
    {
        const auto calls = ArgumentsOfCalls("main");
        return calls.empty() ? std::nullopt : std::optional(calls.front());
    }

    // As the VM library saw it at creation; none when unset.
    std::optional<std::u16string> Environment(const std::string& name) const
    {
        for (const std::string& value : Values("env")) {
            if (value == name) return std::nullopt;
            if (value.rfind(name + " ", 0) == 0) return os::FromUtf8(value.substr(name.size() + 1));
        }
        return std::nullopt;
    }

    // Lines that tell of a broken rule or a call made while an exception was pending.
    std::vector<std::string> Complaints() const
    {
        std::vector<std::string> complaints = Values("failure");
        for (const std::string& call : Values("pending-exception")) complaints.push_back("pending-exception " + call);
        return complaints;
    }

private:
    std::string text_;
    std::vector<std::string> lines_;
};

} // namespace tala::test
