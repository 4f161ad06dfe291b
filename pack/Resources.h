// The resources of a Windows executable as a flat list (type, name,
// language, data), read from and written as the three-level directory tree
// of a resource section.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tala::pack {

// A resource type or name: a number, or a string (an upper-case one, as
// resource compilers store names and FindResource looks them up).
struct ResourceKey {
    std::uint16_t id = 0;
    std::u16string name; // empty for a number

    static ResourceKey Id(std::uint16_t id) { return {id, {}}; }
    bool operator==(const ResourceKey&) const = default;
};

// The directory order: names first, compared without regard to case as the
// loader's binary search does, then numbers ascending.
bool operator<(const ResourceKey& a, const ResourceKey& b);

struct Resource {
    ResourceKey type;
    ResourceKey name;
    std::uint16_t language = 0;
    std::string data;
    std::uint32_t codePage = 0;
};

// Numbered resource types.
inline constexpr std::uint16_t kIconType = 3;
inline constexpr std::uint16_t kRawDataType = 10;
inline constexpr std::uint16_t kGroupIconType = 14;
inline constexpr std::uint16_t kVersionType = 16;
inline constexpr std::uint16_t kManifestType = 24;
// English (United States), the language of the launcher's own resources
// and of those this tool adds.
inline constexpr std::uint16_t kEnglishUs = 0x0409;

class ResourceTable {
public:
    // The bytes of `size` at an address of the loaded image; false when no
    // section's file data holds them.
    using ImageReader = std::function<bool(std::uint32_t rva, std::uint32_t size, std::string& bytes)>;

    // The tree that starts at `section` (the resource directory's bytes).
    // False with the reason when it is malformed.
    bool Read(std::string_view section, const ImageReader& image, std::string& error);

    const std::vector<Resource>& All() const { return resources_; }
    const Resource* Find(const ResourceKey& type, const ResourceKey& name) const;

    void RemoveType(const ResourceKey& type);
    // Replaces a resource of the same type, name and language.
    void Put(Resource resource);
    void Put(const ResourceKey& type, const ResourceKey& name, std::string data);

    // The tree with its data, for a section at address sectionRva.
    std::string Build(std::uint32_t sectionRva) const;

private:
    std::vector<Resource> resources_;
};

} // namespace tala::pack
