// The stand-in VM library as the windows tests use it: where each variant
// is built, how a test puts one into a runtime folder with a scenario, and
// the record it leaves, read back into lines and the facts tests ask about.
#pragma once

#include "tests/shared/TestFiles.h"
#include "tests/windows/ProgramsBeside.h"
#include "tests/windows/standin/StandInFormat.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tala::test {

// The variants of the stand-in, built beside the test programs.
inline constexpr wchar_t kStandInVm[] = L"standin-jvm.dll";
inline constexpr wchar_t kStandInVmWithoutBootLoader[] = L"standin-jvm-no-boot-loader.dll";
inline constexpr wchar_t kStandInVmWithoutCreate[] = L"standin-jvm-no-create.dll";
inline constexpr wchar_t kStandInVmWithoutDefaultArgs[] = L"standin-jvm-no-default-args.dll";

// Copies a variant to the path of a runtime's VM library, creating folders.
inline void InstallStandIn(const wchar_t* variant, const std::filesystem::path& vmLibrary)
{
    std::filesystem::create_directories(vmLibrary.parent_path());
    std::filesystem::copy_file(BesideThisProgram(variant), vmLibrary,
                               std::filesystem::copy_options::overwrite_existing);
}

inline void WriteScenario(const std::filesystem::path& vmLibrary, const std::string& scenario)
{
    WriteBytes(vmLibrary.parent_path() / standin::kScenarioFileName, scenario);
}

class StandInRecord {
public:
    // The record beside a VM library; empty when it wrote none.
    static StandInRecord Beside(const std::filesystem::path& vmLibrary)
    {
        StandInRecord record;
        const std::filesystem::path file = vmLibrary.parent_path() / standin::kRecordFileName;
        if (!std::filesystem::exists(file)) return record;
        record.text_ = ReadBytes(file);
        std::size_t start = 0;
        while (start < record.text_.size()) {
            std::size_t end = record.text_.find('\n', start);
            if (end == std::string::npos) end = record.text_.size();
            record.lines_.push_back(standin::ParseRecordLine(std::string_view(record.text_).substr(start, end - start)));
            start = end + 1;
        }
        return record;
    }

    const std::vector<standin::RecordLine>& Lines() const { return lines_; }
    // The file as written, for failure messages.
    const std::string& Text() const { return text_; }
    bool Empty() const { return lines_.empty(); }

    std::vector<standin::RecordLine> All(const std::string& kind) const
    {
        std::vector<standin::RecordLine> found;
        for (const standin::RecordLine& line : lines_) {
            if (line.kind == kind) found.push_back(line);
        }
        return found;
    }

    // The first field of every line of a kind, in order.
    std::vector<std::u16string> Firsts(const std::string& kind) const
    {
        std::vector<std::u16string> fields;
        for (const standin::RecordLine& line : All(kind)) fields.push_back(line.fields.empty() ? u"" : line.fields[0]);
        return fields;
    }

    // The calls of interest, in order: "JNI_CreateJavaVM", "main", ...
    std::vector<std::string> Calls() const
    {
        std::vector<std::string> calls;
        for (const std::u16string& name : Firsts("call")) calls.emplace_back(name.begin(), name.end());
        return calls;
    }

    // The thread number of the first call of that name; -1 when none.
    int ThreadOf(const std::string& call) const
    {
        for (const standin::RecordLine& line : All("call")) {
            if (line.fields.size() < 2 || line.fields[0] != std::u16string(call.begin(), call.end())) continue;
            const std::u16string& field = line.fields[1];
            return std::stoi(std::string(field.begin() + 7, field.end())); // behind "thread="
        }
        return -1;
    }

    // The options in order, each with whether its extraInfo was set.
    std::vector<std::pair<std::u16string, bool>> Options() const
    {
        std::vector<std::pair<std::u16string, bool>> options;
        for (const standin::RecordLine& line : All("option")) {
            options.emplace_back(line.fields.at(0), line.fields.at(1) == u"extra-info");
        }
        return options;
    }

    // main's arguments; nothing when main was not called.
    std::optional<std::vector<std::u16string>> Arguments() const
    {
        if (All("arguments").empty()) return std::nullopt;
        return Firsts("argument");
    }

    // The arguments of every call of that name ("main", "secondaryMain"),
    // in order: the "argument" lines that follow each "call" line.
    std::vector<std::vector<std::u16string>> ArgumentsOfCalls(const std::string& call) const
    {
        const std::u16string name(call.begin(), call.end());
        std::vector<std::vector<std::u16string>> calls;
        bool inCall = false;
        for (const standin::RecordLine& line : lines_) {
            if (line.kind == "call") {
                inCall = !line.fields.empty() && line.fields[0] == name;
                if (inCall) calls.emplace_back();
            } else if (inCall && line.kind == "argument") {
                calls.back().push_back(line.fields.empty() ? u"" : line.fields[0]);
            }
        }
        return calls;
    }

    // A variable as the VM library saw it at creation; none when unset.
    std::optional<std::u16string> Environment(const std::u16string& name) const
    {
        for (const standin::RecordLine& line : All("env")) {
            if (line.fields.size() == 2 && line.fields[0] == name) {
                if (line.fields[1] == u"unset") return std::nullopt;
                return line.fields[1];
            }
        }
        return std::nullopt;
    }

    // The number of the first line of that kind, such as "stack-reserve".
    std::optional<std::int64_t> Number(const std::string& kind) const
    {
        const std::vector<std::u16string> fields = Firsts(kind);
        if (fields.empty()) return std::nullopt;
        return std::stoll(std::string(fields[0].begin(), fields[0].end()), nullptr, 0); // 0x... too
    }

    // Lines that tell of a broken rule: calls the stand-in did not plan for,
    // failures, calls made while an exception was pending, lines it could
    // not read back.
    std::vector<std::string> Complaints() const
    {
        std::vector<std::string> complaints;
        std::size_t start = 0;
        for (const standin::RecordLine& line : lines_) {
            const std::size_t end = text_.find('\n', start);
            const std::string raw = text_.substr(start, end - start);
            start = end + 1;
            if (line.kind == "unexpected" || line.kind == "failure" || line.kind == "pending-exception" ||
                !line.wellFormed) {
                complaints.push_back(raw);
            }
        }
        return complaints;
    }

private:
    std::string text_;
    std::vector<standin::RecordLine> lines_;
};

} // namespace tala::test
