// A temporary application folder for end-to-end runs of the Linux launcher:
// the launcher copied in as "shop", beside its settings file.
#pragma once

#include "tests/jvm/Program.h"

#include <memory>

namespace tala::test {

class AppFolder {
public:
    AppFolder() { std::filesystem::copy_file(TALA_LAUNCHER_PATH, Launcher()); }

    const std::filesystem::path& Path() const { return folder_.Path(); }
    std::filesystem::path Launcher() const { return Path() / "shop"; }
    void WriteSettings(const std::string& bytes) const { WriteBytes(Path() / "shop.ini", bytes); }

    // The launcher started in the background, in this folder.
    std::unique_ptr<Program> Start(const std::vector<std::string>& arguments) const
    {
        return std::make_unique<Program>(Argv(arguments), Path());
    }
    RunResult Run(const std::vector<std::string>& arguments,
                  std::chrono::seconds timeout = std::chrono::seconds(60)) const
    {
        return Start(arguments)->Finish(timeout);
    }
    // Runs on a pseudo-terminal, as from a shell: input is typed in at once
    // (the terminal keeps it until read); output holds everything the
    // terminal showed, standard error (unless kept off it) and the echo included.
    RunResult RunOnTerminal(const std::vector<std::string>& arguments, const std::string& input,
                            bool errorsOnTerminal = true,
                            std::chrono::seconds timeout = std::chrono::seconds(60)) const;

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
