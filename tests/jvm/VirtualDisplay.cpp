#include "tests/jvm/VirtualDisplay.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace tala::test {
namespace {

using Clock = std::chrono::steady_clock;

// The screen file is an XWD dump: a header of big-endian 32-bit fields, the
// window name, the colour map, then the pixels in the server's byte order.
enum XwdField : int {
    kHeaderSize = 0,
    kPixmapFormat = 2,
    kPixmapWidth = 4,
    kPixmapHeight = 5,
    kByteOrder = 7,
    kBitsPerPixel = 11,
    kBytesPerLine = 12,
    kRedMask = 14,
    kGreenMask = 15,
    kBlueMask = 16,
    kColourCount = 19,
    kFieldCount = 25,
};
constexpr std::uint32_t kZPixmap = 2;
constexpr std::uint32_t kLeastSignificantFirst = 0;
constexpr std::uint64_t kColourEntrySize = 12;

bool ReadAt(int fd, std::uint64_t offset, void* into, std::size_t size)
{
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pread(fd, static_cast<char*>(into) + done, size - done,
                                  static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

std::uint32_t BigEndian(const unsigned char* bytes)
{
    return (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) | (std::uint32_t{bytes[2]} << 8) |
           std::uint32_t{bytes[3]};
}

} // namespace

VirtualDisplay::VirtualDisplay(std::chrono::seconds timeout)
{
    std::array<int, 2> pipe{-1, -1};
    if (::pipe2(pipe.data(), O_CLOEXEC) != 0) {
        problem_ = "no pipe";
        return;
    }
    // The server writes its display number to descriptor 3 once it is ready.
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_adddup2(&actions, pipe[1], 3);
    ::posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    ::posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    ::posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const std::string folder = folder_.Path().string();
    std::vector<std::string> words{"Xvfb", "-displayfd", "3", "-screen", "0", "1024x768x24",
                                   "-fbdir", folder, "-nolisten", "tcp"};
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    const int spawned = ::posix_spawnp(&server_, "Xvfb", &actions, nullptr, argv.data(), environ);
    ::posix_spawn_file_actions_destroy(&actions);
    ::close(pipe[1]);
    if (spawned != 0) {
        server_ = -1;
        problem_ = "Xvfb could not be started";
        ::close(pipe[0]);
        return;
    }

    std::string number;
    const auto giveUp = Clock::now() + timeout;
    while (Clock::now() < giveUp && (number.empty() || number.back() != '\n')) {
        pollfd ready{pipe[0], POLLIN, 0};
        if (::poll(&ready, 1, 100) <= 0) continue;
        char buffer[32];
        const ssize_t n = ::read(pipe[0], buffer, sizeof buffer);
        if (n <= 0) break;
        number.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(pipe[0]);
    if (number.empty() || number.back() != '\n') {
        problem_ = "Xvfb did not say which display it took";
        return;
    }
    number.pop_back();
    screen_ = ::open((folder_.Path() / "Xvfb_screen0").c_str(), O_RDONLY | O_CLOEXEC);
    if (screen_ < 0 || !ReadLayout()) {
        problem_ = "the screen file of Xvfb cannot be read";
        return;
    }
    name_ = ":" + number;
}

VirtualDisplay::~VirtualDisplay()
{
    if (screen_ >= 0) ::close(screen_);
    if (server_ <= 0) return;
    ::kill(server_, SIGTERM);
    int status = 0;
    const auto giveUp = Clock::now() + std::chrono::seconds(5);
    while (::waitpid(server_, &status, WNOHANG) == 0) {
        if (Clock::now() >= giveUp) {
            ::kill(server_, SIGKILL);
            ::waitpid(server_, &status, 0);
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

bool VirtualDisplay::ReadLayout()
{
    std::array<unsigned char, kFieldCount * 4> header{};
    if (!ReadAt(screen_, 0, header.data(), header.size())) return false;
    const auto field = [&header](int index) { return BigEndian(header.data() + 4 * index); };
    if (field(kPixmapFormat) != kZPixmap || field(kBitsPerPixel) != 32 ||
        field(kByteOrder) != kLeastSignificantFirst || field(kRedMask) != 0xFF0000 ||
        field(kGreenMask) != 0x00FF00 || field(kBlueMask) != 0x0000FF) {
        return false;
    }
    width_ = static_cast<int>(field(kPixmapWidth));
    height_ = static_cast<int>(field(kPixmapHeight));
    bytesPerLine_ = field(kBytesPerLine);
    pixelsAt_ = field(kHeaderSize) + field(kColourCount) * kColourEntrySize;
    return true;
}

std::optional<std::uint32_t> VirtualDisplay::Pixel(int x, int y) const
{
    if (screen_ < 0 || x < 0 || y < 0 || x >= width_ || y >= height_) return std::nullopt;
    std::array<unsigned char, 4> bytes{};
    const std::uint64_t at = pixelsAt_ + static_cast<std::uint64_t>(y) * bytesPerLine_ + 4 * static_cast<std::uint64_t>(x);
    if (!ReadAt(screen_, at, bytes.data(), bytes.size())) return std::nullopt;
    return (std::uint32_t{bytes[2]} << 16) | (std::uint32_t{bytes[1]} << 8) | std::uint32_t{bytes[0]};
}

} // namespace tala::test
