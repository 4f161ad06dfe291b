#include "settings/SettingsCipher.h"

#include <cstdint>
#include <utility>

namespace tala {
namespace {

// "TSET", a format version, three bytes reserved, the text's length in code
// units (32 bits), the check (64 bits), then the enciphered code units: all
// little-endian.
constexpr std::string_view kMagic = "TSET";
constexpr std::uint8_t kVersion = 1;
constexpr std::size_t kHeaderSize = 20;
// Well above any settings file; a larger length is a damaged header.
constexpr std::uint32_t kMaximumLength = 16u << 20;

constexpr std::uint64_t kFnvOffset = 0xCBF29CE484222325u;
constexpr std::uint64_t kFnvPrime = 0x100000001B3u;

std::uint64_t Fnv1a(std::uint64_t hash, std::u16string_view units)
{
    for (const char16_t unit : units) {
        hash = (hash ^ (unit & 0xFFu)) * kFnvPrime;
        hash = (hash ^ (unit >> 8)) * kFnvPrime;
    }
    return hash;
}

// SplitMix64: a keystream from the code. Two codes give unrelated streams.
class KeyStream {
public:
    explicit KeyStream(std::u16string_view code)
        : state_(Fnv1a(Fnv1a(kFnvOffset, u"tala settings"), code))
    {
    }

    char16_t Next()
    {
        if (left_ == 0) {
            std::uint64_t z = (state_ += 0x9E3779B97F4A7C15u);
            z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
            z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
            block_ = z ^ (z >> 31);
            left_ = 4;
        }
        --left_;
        const auto unit = static_cast<char16_t>(block_ & 0xFFFFu);
        block_ >>= 16;
        return unit;
    }

private:
    std::uint64_t state_;
    std::uint64_t block_ = 0;
    int left_ = 0;
};

// The check binds the text to the code: a wrong code deciphers to other
// units, whose check differs.
std::uint64_t Check(std::u16string_view text, std::u16string_view code)
{
    return Fnv1a(Fnv1a(kFnvOffset, code), text);
}

void PutLittleEndian(std::string& bytes, std::uint64_t value, int size)
{
    for (int i = 0; i < size; ++i) bytes += static_cast<char>((value >> (8 * i)) & 0xFFu);
}

std::uint64_t GetLittleEndian(std::string_view bytes, std::size_t at, int size)
{
    std::uint64_t value = 0;
    for (int i = size - 1; i >= 0; --i) {
        value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    }
    return value;
}

} // namespace

std::string EncipherSettings(std::u16string_view text, std::u16string_view upgradeCode)
{
    std::string bytes(kMagic);
    bytes += static_cast<char>(kVersion);
    bytes.append(3, '\0');
    PutLittleEndian(bytes, text.size(), 4);
    PutLittleEndian(bytes, Check(text, upgradeCode), 8);
    KeyStream key(upgradeCode);
    for (const char16_t unit : text) PutLittleEndian(bytes, static_cast<char16_t>(unit ^ key.Next()), 2);
    return bytes;
}

bool DecipherSettings(std::string_view carried, std::u16string_view upgradeCode, std::u16string& text)
{
    if (carried.size() < kHeaderSize || carried.substr(0, kMagic.size()) != kMagic ||
        static_cast<std::uint8_t>(carried[4]) != kVersion) {
        return false;
    }
    const auto length = static_cast<std::uint32_t>(GetLittleEndian(carried, 8, 4));
    if (length > kMaximumLength || carried.size() - kHeaderSize != std::size_t{length} * 2) return false;

    std::u16string deciphered(length, u'\0');
    KeyStream key(upgradeCode);
    for (std::size_t i = 0; i < length; ++i) {
        const auto unit = static_cast<char16_t>(GetLittleEndian(carried, kHeaderSize + 2 * i, 2));
        deciphered[i] = static_cast<char16_t>(unit ^ key.Next());
    }
    if (Check(deciphered, upgradeCode) != GetLittleEndian(carried, 12, 8)) return false;
    text = std::move(deciphered);
    return true;
}

} // namespace tala
