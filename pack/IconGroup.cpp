#include "pack/IconGroup.h"

#include "pack/Bytes.h"

namespace tala::pack {
namespace {

constexpr std::size_t kDirectorySize = 6;
constexpr std::size_t kFileEntrySize = 16;
constexpr std::string_view kPngSignature = "\x89PNG\r\n\x1A\n";
constexpr std::uint32_t kBitmapInfoHeaderSize = 40;

struct IconImage {
    std::string_view entry; // the first 12 bytes of its directory entry: size, colours, planes, bits
    std::string_view data;
};

bool Fail(std::string& error, const char* reason)
{
    error = reason;
    return false;
}

bool ReadImages(std::string_view ico, std::vector<IconImage>& images, std::string& error)
{
    if (!Fits(ico, 0, kDirectorySize) || Read16(ico, 0) != 0 || Read16(ico, 2) != 1) {
        return Fail(error, "is not an icon file");
    }
    const std::uint16_t count = Read16(ico, 4);
    if (count == 0) return Fail(error, "holds no image");
    if (!Fits(ico, kDirectorySize, std::uint64_t{count} * kFileEntrySize)) {
        return Fail(error, "its directory is cut short");
    }
    std::uint64_t total = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t entry = kDirectorySize + i * kFileEntrySize;
        const std::uint32_t size = Read32(ico, entry + 8);
        const std::uint32_t offset = Read32(ico, entry + 12);
        if (size == 0 || !Fits(ico, offset, size)) {
            return Fail(error, "an image lies beyond the end of the file");
        }
        // Images never share their bytes; a file whose images do is made to harm.
        total += size;
        if (total > ico.size()) return Fail(error, "its images overlap");
        const std::string_view data = ico.substr(offset, size);
        const bool png = data.substr(0, kPngSignature.size()) == kPngSignature;
        const bool bitmap = data.size() >= kBitmapInfoHeaderSize && Read32(data, 0) == kBitmapInfoHeaderSize;
        if (!png && !bitmap) return Fail(error, "an image is neither a bitmap nor a PNG picture");
        images.push_back({ico.substr(entry, 12), data});
    }
    return true;
}

// A group entry: the file's entry (planes and bits filled in from the image
// when the file leaves them zero, as the loader picks images by them), then
// the icon's resource id.
std::string GroupEntry(const IconImage& image, std::uint16_t id)
{
    std::string entry(image.entry);
    if (Read16(entry, 4) == 0 && Read16(entry, 6) == 0) {
        const bool bitmap = Read32(image.data, 0) == kBitmapInfoHeaderSize;
        Write16(entry, 4, 1);
        Write16(entry, 6, bitmap ? Read16(image.data, 14) : 32);
    }
    Append16(entry, id);
    return entry;
}

} // namespace

bool PutIconGroup(std::string_view ico, ResourceTable& resources, std::string& error)
{
    std::vector<IconImage> images;
    if (!ReadImages(ico, images, error)) return false;

    resources.RemoveType(ResourceKey::Id(kIconType));
    resources.RemoveType(ResourceKey::Id(kGroupIconType));
    std::string group;
    Append16(group, 0);
    Append16(group, 1);
    Append16(group, static_cast<std::uint16_t>(images.size()));
    for (std::size_t i = 0; i < images.size(); ++i) {
        const auto id = static_cast<std::uint16_t>(i + 1);
        resources.Put(ResourceKey::Id(kIconType), ResourceKey::Id(id), std::string(images[i].data));
        group += GroupEntry(images[i], id);
    }
    resources.Put(ResourceKey::Id(kGroupIconType), ResourceKey::Id(1), group);
    return true;
}

} // namespace tala::pack
