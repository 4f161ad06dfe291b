// Third-party applications from Debian (Rhino, Ant, Jython), each started
// three ways on one runtime: by its own launch script, by the runtime's java
// with the command line that script builds, and through the Linux launcher
// with the same options, its startup cache off and on (on: after a first
// start that recorded the cache). Runs alternate in order round by round;
// medians, ratios to java, and the geometric means of the ratios, of the
// wall time and of the processor time (user and system, the processes a
// start waited for included), which other work on the machine disturbs less.
//
//   tala_third_party_bench TALA JDK_HOME [ROUNDS]
#include "bench/TimedRun.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

using tala::bench::Command;
using tala::bench::Median;
using tala::bench::Sample;

struct Application {
    std::string name;
    std::optional<Command> script; // none when the script cannot use this runtime
    std::string scriptNote;        // why not
    Command java;
    std::string classPath;         // the launcher's settings: ";" between entries
    std::string mainClass;
    std::string vmParameters;
    std::vector<std::string> arguments;
};

Sample Run(const Command& command) { return tala::bench::TimedRun(command, true); }

// The runtime that /usr/bin/java leads to, the one scripts with a fixed java run.
bool IsSystemJava(const fs::path& jdk)
{
    std::error_code error;
    const fs::path systemJava = fs::canonical("/usr/bin/java", error);
    return !error && systemJava == fs::canonical(jdk / "bin" / "java", error);
}

int FeatureVersion(const fs::path& jdk)
{
    std::ifstream release(jdk / "release");
    for (std::string line; std::getline(release, line);) {
        if (line.rfind("JAVA_VERSION=\"", 0) == 0) {
            const int version = std::atoi(line.c_str() + 14);
            return version == 1 ? std::atoi(line.c_str() + 16) : version;
        }
    }
    return 0;
}

// The command lines the Debian 12 scripts build (traced with sh -x), with
// this runtime's java in place of the one they find.
std::vector<Application> Applications(const fs::path& jdk)
{
    const std::string java = (jdk / "bin" / "java").string();
    const std::string path = "PATH=" + (jdk / "bin").string() + ":" + std::getenv("PATH");
    const bool systemJava = IsSystemJava(jdk);
    // Ant's script adds -Djava.security.manager=allow, which runtimes from 24
    // on refuse: there it cannot start, and java and the launcher run Ant
    // without that option.
    const bool securityManager = FeatureVersion(jdk) < 24;
    const std::string antSecurity = securityManager ? "-Djava.security.manager=allow" : "";

    std::vector<Application> applications;
    Application rhino;
    rhino.name = "Rhino -e 'print(6*7)'";
    if (systemJava) {
        rhino.script = Command{{"/usr/bin/rhino", "-e", "print(6*7)"}, {}};
    } else {
        rhino.scriptNote = "its script always runs /usr/bin/java";
    }
    rhino.java = {{java, "-classpath", "/usr/share/java/js.jar:/usr/share/java/jline.jar",
                   "org.mozilla.javascript.tools.shell.Main", "-e", "print(6*7)"}, {}};
    rhino.classPath = "/usr/share/java/js.jar;/usr/share/java/jline.jar";
    rhino.mainClass = "org.mozilla.javascript.tools.shell.Main";
    rhino.arguments = {"-e", "print(6*7)"};
    applications.push_back(rhino);

    Application ant;
    ant.name = "Ant -version";
    if (securityManager) {
        ant.script = Command{{"/usr/bin/ant", "-version"}, {"JAVA_HOME=" + jdk.string()}};
    } else {
        ant.scriptNote = "its script adds -Djava.security.manager=allow, refused from Java 24 on";
    }
    ant.java = {{java, "-classpath", "/usr/share/ant/lib/ant-launcher.jar", "-Dant.home=/usr/share/ant",
                 "-Dant.library.dir=/usr/share/ant/lib"}, {}};
    if (securityManager) ant.java.argv.push_back(antSecurity);
    for (const char* word : {"org.apache.tools.ant.launch.Launcher", "-cp", "", "-version"}) {
        ant.java.argv.emplace_back(word);
    }
    ant.classPath = "/usr/share/ant/lib/ant-launcher.jar";
    ant.mainClass = "org.apache.tools.ant.launch.Launcher";
    ant.vmParameters = "-Dant.home=/usr/share/ant -Dant.library.dir=/usr/share/ant/lib " + antSecurity;
    ant.arguments = {"-cp", "", "-version"};
    applications.push_back(ant);

    Application jython;
    jython.name = "Jython -c 'print 6*7'";
    jython.script = Command{{"/usr/bin/jython", "-c", "print 6*7"}, {path}};
    const std::vector<std::string> jythonArguments{
        "-Dpython.home=/usr/share/jython", "-Dpython.executable=/usr/bin/jython",
        "-Dpython.console=org.python.util.JLineConsole", "-c", "print 6*7"};
    jython.java = {{java, "-jar", "/usr/share/java/jython.jar"}, {}};
    jython.java.argv.insert(jython.java.argv.end(), jythonArguments.begin(), jythonArguments.end());
    jython.classPath = "/usr/share/java/jython.jar";
    jython.mainClass = "org.python.util.jython";
    jython.arguments = jythonArguments;
    applications.push_back(jython);
    return applications;
}

// A launcher copy named after the application, beside its settings file.
Command LauncherFor(const fs::path& tala, const fs::path& folder, const std::string& name,
                    const fs::path& jdk, const Application& application, bool cache)
{
    const fs::path launcher = folder / name;
    fs::copy_file(tala, launcher, fs::copy_options::overwrite_existing);
    std::ofstream(folder / (name + ".ini"))
        << "[Product Information]\nProduct Name=Tala bench\nProduct Code=" << name
        << "\n[Java Runtime Environment]\nJRE Path=" << jdk.string() << "\nMain Class=" << application.mainClass
        << "\nVirtual Machine Parameters=" << application.vmParameters
        << "\nStartup Cache=" << (cache ? "Yes" : "No") << "\n[Class Path]\nClass Path=" << application.classPath
        << "\n";
    Command command{{launcher.string()}, {}};
    command.argv.insert(command.argv.end(), application.arguments.begin(), application.arguments.end());
    return command;
}


// Medians of one measure, per application and way of starting it.
using Medians = std::vector<std::map<std::string, double>>;

void PrintTable(const char* measure, const std::vector<Application>& applications, const Medians& medians)
{
    std::printf("%s, medians in ms:\n\n", measure);
    std::printf("| application | own script | java | Tala, cache off | Tala, cache on | off / java | on / java |\n");
    std::printf("|---|---|---|---|---|---|---|\n");
    double logOff = 0;
    double logOn = 0;
    for (std::size_t a = 0; a < applications.size(); ++a) {
        std::map<std::string, double> median = medians[a];
        const double off = median["off"] / median["java"];
        const double on = median["on"] / median["java"];
        logOff += std::log(off);
        logOn += std::log(on);
        char script[32] = "n/a";
        if (applications[a].script) std::snprintf(script, sizeof script, "%.0f", median["script"]);
        std::printf("| %s | %s | %.0f | %.0f | %.0f | %.2f | %.2f |\n", applications[a].name.c_str(), script,
                    median["java"], median["off"], median["on"], off, on);
    }
    const double count = static_cast<double>(applications.size());
    std::printf("\ngeometric mean of Tala / java: cache off %.2f, cache on %.2f\n\n", std::exp(logOff / count),
                std::exp(logOn / count));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: tala_third_party_bench TALA JDK_HOME [ROUNDS]\n");
        return 2;
    }
    const fs::path tala = fs::absolute(argv[1]);
    const fs::path jdk = argv[2];
    const int rounds = argc > 3 ? std::atoi(argv[3]) : 20;

    // The launcher's cache goes to a folder of the benchmark's own.
    const fs::path folder = fs::temp_directory_path() / "tala-third-party-bench";
    fs::remove_all(folder);
    fs::create_directories(folder / "cache");
    setenv("XDG_CACHE_HOME", (folder / "cache").c_str(), 1);

    const std::vector<Application> applications = Applications(jdk);
    Medians wall(applications.size());
    Medians processor(applications.size());
    for (std::size_t a = 0; a < applications.size(); ++a) {
        const Application& application = applications[a];
        std::vector<std::pair<std::string, Command>> ways;
        if (application.script) ways.emplace_back("script", *application.script);
        ways.emplace_back("java", application.java);
        ways.emplace_back("off", LauncherFor(tala, folder, "app" + std::to_string(a) + "-off", jdk, application, false));
        ways.emplace_back("on", LauncherFor(tala, folder, "app" + std::to_string(a) + "-on", jdk, application, true));

        // Warm the file cache; the launcher's first start with the cache on records it.
        for (const auto& [way, command] : ways) {
            if (Run(command).wall < 0) {
                std::fprintf(stderr, "%s: the %s start failed\n", application.name.c_str(), way.c_str());
                return 1;
            }
        }
        std::map<std::string, std::vector<double>> wallSamples;
        std::map<std::string, std::vector<double>> processorSamples;
        for (int round = 0; round < rounds; ++round) {
            for (std::size_t i = 0; i < ways.size(); ++i) {
                const auto& [way, command] = ways[round % 2 == 0 ? i : ways.size() - 1 - i];
                const Sample sample = Run(command);
                if (sample.wall < 0) {
                    std::fprintf(stderr, "%s: a %s start failed\n", application.name.c_str(), way.c_str());
                    return 1;
                }
                wallSamples[way].push_back(sample.wall);
                processorSamples[way].push_back(sample.processor);
            }
        }
        for (const auto& [way, command] : ways) {
            wall[a][way] = Median(wallSamples[way]);
            processor[a][way] = Median(processorSamples[way]);
        }
    }
    fs::remove_all(folder);

    std::printf("%s (Java %d), %d alternating rounds\n\n", jdk.c_str(), FeatureVersion(jdk), rounds);
    PrintTable("Wall time, start to exit", applications, wall);
    PrintTable("Processor time (user and system)", applications, processor);
    for (const Application& application : applications) {
        if (!application.script) std::printf("n/a: %s: %s\n", application.name.c_str(), application.scriptNote.c_str());
    }
    return 0;
}
