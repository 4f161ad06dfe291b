// A temporary application folder for end-to-end runs of the Linux launcher:
// the launcher copied in under a product name, its settings file, Java classes
// compiled from the test sources, and a run with a time-out.
#pragma once

#include "tests/shared/TestFiles.h"

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace tala::test {

struct RunResult {
    int exitCode = -1;       // the process's exit status, or 128 + signal
    bool timedOut = false;
    std::string output;      // standard output
    std::string errors;      // standard error
};

class AppFolder {
public:
    explicit AppFolder(const std::string& productName = "shop");

    const std::filesystem::path& Path() const { return folder_.Path(); }
    std::filesystem::path Launcher() const { return Path() / productName_; }

    void WriteSettings(const std::string& bytes) const;

    // Compiles tests/jvm/java/<file> (a path below it) into folder/classes;
    // false, with javac's messages in errors, when it does not compile.
    bool CompileJava(const std::vector<std::string>& sourceFiles, std::string& errors) const;

    RunResult Run(const std::vector<std::string>& arguments,
                  std::chrono::seconds timeout = std::chrono::seconds(60)) const;

    // Runs on a pseudo-terminal, as from a shell: input is typed in at once
    // (the terminal keeps it until read); output holds everything the
    // terminal showed, standard error and the echo included.
    RunResult RunOnTerminal(const std::vector<std::string>& arguments, const std::string& input,
                            std::chrono::seconds timeout = std::chrono::seconds(60)) const;

private:
    TempFolder folder_;
    std::string productName_;
};

// Runs a program and collects its exit status and output; kills it after the time-out.
RunResult RunProgram(const std::vector<std::string>& argv, const std::filesystem::path& workingFolder,
                     std::chrono::seconds timeout);

} // namespace tala::test
