// One program run timed from spawn to exit, and the median the benchmarks
// report: what every start-up benchmark on Linux measures alike.
#pragma once

#include <algorithm>
#include <chrono>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace tala::bench {

struct Command {
    std::vector<std::string> argv;             // the program is looked up on PATH
    std::vector<std::string> extraEnvironment; // NAME=value, in front of this process's
};

struct Sample {
    double wall = -1; // milliseconds; negative when the run failed
    double processor = 0;
};

// One run with its standard output discarded, and its standard error too
// when quiet; a run that does not exit with 0 failed.
inline Sample TimedRun(const Command& command, bool quiet = false)
{
    std::vector<std::string> environment = command.extraEnvironment;
    for (char** variable = environ; *variable != nullptr; ++variable) environment.emplace_back(*variable);
    std::vector<char*> envp;
    for (std::string& entry : environment) envp.push_back(entry.data());
    envp.push_back(nullptr);
    std::vector<char*> argv;
    for (const std::string& argument : command.argv) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", 0x1 /*O_WRONLY*/, 0);
    if (quiet) posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", 0x1 /*O_WRONLY*/, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t child = 0;
    const int spawned = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return {};
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    const double elapsed = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return {};
    const auto milliseconds = [](const timeval& time) {
        return static_cast<double>(time.tv_sec) * 1000.0 + static_cast<double>(time.tv_usec) / 1000.0;
    };
    return {elapsed, milliseconds(usage.ru_utime) + milliseconds(usage.ru_stime)};
}

inline double Median(std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

} // namespace tala::bench
