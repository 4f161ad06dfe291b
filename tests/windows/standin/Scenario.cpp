#include "tests/windows/standin/StandIn.h"

#include "os/windows/UniqueHandle.h"

#include <charconv>
#include <initializer_list>
#include <string_view>
#include <utility>
#include <sstream>

namespace tala::test::standin {
namespace {

std::string ReadFile(const std::wstring& path)
{
    const os::UniqueHandle file(os::ValidOrNull(::CreateFileW(
        path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
        FILE_ATTRIBUTE_NORMAL, nullptr)));
    if (!file) return {};
    std::string content;
    char buffer[4096];
    DWORD read = 0;
    while (::ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) content.append(buffer, read);
    return content;
}

bool ReadNumber(const std::string& text, jint& value)
{
    long number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size()) return false;
    value = number;
    return true;
}

// A value that must be one of the named choices.
template <typename Choice>
bool ReadChoice(const std::string& value, std::initializer_list<std::pair<std::string_view, Choice>> choices,
                Choice& chosen)
{
    for (const auto& [name, choice] : choices) {
        if (value == name) {
            chosen = choice;
            return true;
        }
    }
    return false;
}

bool Apply(Scenario& scenario, const std::string& key, const std::string& value)
{
    if (key == "create-result") return ReadNumber(value, scenario.createResult);
    if (key == "default-java-stack-size") return ReadNumber(value, scenario.defaultJavaStackSize);
    if (key == "exit-status") return ReadNumber(value, scenario.exitStatus);
    if (key == "secondary-result") return ReadNumber(value, scenario.secondaryResult);
    if (key == "main-class") {
        scenario.mainClass = value;
        return true;
    }
    if (key == "launcher-helper") return ReadChoice(value, {{"present", true}, {"absent", false}}, scenario.launcherHelper);
    if (key == "printable-traces") return ReadChoice(value, {{"yes", true}, {"no", false}}, scenario.printableTraces);
    if (key == "secondary-main") {
        return ReadChoice(value,
                          {{"absent", SecondaryMain::Absent}, {"void", SecondaryMain::Void}, {"int", SecondaryMain::Int}},
                          scenario.secondaryMain);
    }
    if (key == "main") {
        return ReadChoice(value,
                          {{"return", MainBehaviour::Return},
                           {"throw", MainBehaviour::Throw},
                           {"exit", MainBehaviour::Exit},
                           {"absent", MainBehaviour::Absent},
                           {"absent-with-exception", MainBehaviour::AbsentWithException},
                           {"wait", MainBehaviour::Wait}},
                          scenario.main);
    }
    return false;
}

} // namespace

Scenario ReadScenario(const std::wstring& path)
{
    Scenario scenario;
    std::istringstream lines(ReadFile(path));
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line.front() == '#') continue;
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos || !Apply(scenario, line.substr(0, equals), line.substr(equals + 1))) {
            scenario.errors.push_back(line);
        }
    }
    return scenario;
}

} // namespace tala::test::standin
