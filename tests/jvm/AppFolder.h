// A temporary application folder holding the Linux launcher as "shop", and the
// probe classes of java/probe as the tests use them.
#pragma once

#include "tests/jvm/Program.h"

#include <cstdio>
#include <memory>
#include <sstream>

namespace tala::test {

// The JDK whose javac compiled the probes: <home>/bin/javac.
inline std::filesystem::path JdkHome()
{
    return std::filesystem::canonical(TALA_JAVAC_PATH).parent_path().parent_path();
}

// The start of a 32-bit ELF file, as a 32-bit runtime's VM library begins.
inline const std::string kElf32Header = std::string("\x7F" "ELF\x01\x01\x01", 7) + std::string(57, '\0');

// More lines of the "Java Runtime Environment" section, then further sections as written.
inline std::string ProbeSettings(const std::string& mainClass, const std::string& runtimeLines = "",
                                 const std::string& sections = "")
{
    return "[Java Runtime Environment]\nJRE Path=" + JdkHome().string() + "\nMain Class=" + mainClass + "\n" +
           runtimeLines + "\n[Class Path]\nClass Path=" TALA_PROBE_CLASSES "\n" + sections + "\n";
}

// What probe.Args prints for these arguments: their count, then each one's UTF-16 units in hex.
inline std::string UnitsInHex(const std::vector<std::u16string>& arguments)
{
    std::string text = "count " + std::to_string(arguments.size()) + "\n";
    for (const std::u16string& argument : arguments) {
        text += "arg";
        for (const char16_t unit : argument) {
            char hex[8];
            std::snprintf(hex, sizeof hex, " %04x", static_cast<unsigned>(unit));
            text += hex;
        }
        text += "\n";
    }
    return text;
}

// The value of a "name=value" line of a probe's output.
inline std::string Line(const std::string& output, const std::string& name)
{
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind(name + "=", 0) == 0) return line.substr(name.size() + 1);
    }
    return "<missing " + name + ">";
}

class AppFolder {
public:
    AppFolder() { std::filesystem::copy_file(TALA_LAUNCHER_PATH, Launcher()); }

    const std::filesystem::path& Path() const { return folder_.Path(); }
    std::filesystem::path Launcher() const { return Path() / "shop"; }
    void WriteSettings(const std::string& bytes) const { WriteBytes(Path() / "shop.ini", bytes); }

    std::unique_ptr<Program> Start(const std::vector<std::string>& arguments) const
    {
        return std::make_unique<Program>(Argv(arguments), Path());
    }
    RunResult Run(const std::vector<std::string>& arguments,
                  std::chrono::seconds timeout = std::chrono::seconds(60)) const
    {
        return Start(arguments)->Finish(timeout);
    }
    // As from a shell: input is typed in at once (the terminal keeps it until read);
    // output is all the terminal showed, echo and (unless kept off) standard error too.
    RunResult RunOnTerminal(const std::vector<std::string>& arguments, const std::string& input,
                            bool errorsOnTerminal = true) const;

private:
    std::vector<std::string> Argv(const std::vector<std::string>& arguments) const
    {
        std::vector<std::string> argv{Launcher().string()};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        return argv;
    }

    TempFolder folder_;
};

} // namespace tala::test
