// A 32-bit pair executable's stand-in: writes its arguments (argv[0] too, each NUL-ended) to
// pair-arguments beside itself, whole or not at all, and exits with 42; first waits while "hold" is there.
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

int main(int argc, char** argv)
{
    namespace fs = std::filesystem;
    const fs::path folder = fs::read_symlink("/proc/self/exe").parent_path();
    for (int tenths = 0; tenths < 300 && fs::exists(folder / "hold"); ++tenths) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    {
        std::ofstream record(folder / "pair-arguments.tmp", std::ios::binary);
        for (int i = 0; i < argc; ++i) record << argv[i] << '\0';
    }
    fs::rename(folder / "pair-arguments.tmp", folder / "pair-arguments");
    return 42;
}
