#include "pack/Resources.h"

#include "pack/Bytes.h"

#include <algorithm>
#include <tuple>

namespace tala::pack {
namespace {

constexpr std::uint32_t kHighBit = 0x80000000u;
constexpr std::size_t kDirectorySize = 16;
constexpr std::size_t kEntrySize = 8;
constexpr std::size_t kDataEntrySize = 16;
// Far more than any executable holds; a tree that claims more is malformed
// (its directories or data entries point back at each other).
constexpr std::size_t kMaximumResources = 10000;
constexpr std::size_t kMaximumResourceBytes = 64u << 20;

char16_t Upper(char16_t c) { return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - (u'a' - u'A')) : c; }

int CompareCaseless(std::u16string_view a, std::u16string_view b)
{
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
        if (Upper(a[i]) != Upper(b[i])) return Upper(a[i]) < Upper(b[i]) ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

class TreeReader {
public:
    TreeReader(std::string_view section, const ResourceTable::ImageReader& image,
               std::vector<Resource>& resources)
        : section_(section)
        , image_(image)
        , resources_(resources)
    {
    }

    // Level 0 lists types, 1 names, 2 languages, whose entries are data.
    bool ReadDirectory(std::uint32_t offset, int level, Resource& path)
    {
        if (!Fits(section_, offset, kDirectorySize)) {
            return Fail("a resource directory lies outside its section");
        }
        const std::uint32_t count =
            Read16(section_, offset + 12u) + std::uint32_t{Read16(section_, offset + 14u)};
        if (!Fits(section_, offset + kDirectorySize, std::uint64_t{count} * kEntrySize)) {
            return Fail("a resource directory's entries lie outside its section");
        }
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::size_t entry = offset + kDirectorySize + i * kEntrySize;
            ResourceKey key;
            if (!ReadKey(Read32(section_, entry), key)) return false;
            const std::uint32_t target = Read32(section_, entry + 4);
            if (level == 0) path.type = key;
            if (level == 1) path.name = key;
            if (level == 2) path.language = key.id;
            const bool isDirectory = (target & kHighBit) != 0;
            if (isDirectory != (level < 2)) return Fail("the resource tree is not three levels deep");
            const bool read =
                isDirectory ? ReadDirectory(target & ~kHighBit, level + 1, path) : ReadData(target, path);
            if (!read) return false;
        }
        return true;
    }

    const std::string& Error() const { return error_; }

private:
    bool ReadKey(std::uint32_t field, ResourceKey& key)
    {
        key = {};
        if ((field & kHighBit) == 0) {
            key.id = static_cast<std::uint16_t>(field & 0xFFFFu);
            return true;
        }
        const std::uint32_t at = field & ~kHighBit;
        if (!Fits(section_, at, 2) || !Fits(section_, at + 2u, std::uint64_t{Read16(section_, at)} * 2)) {
            return Fail("a resource name lies outside its section");
        }
        for (std::uint32_t i = 0; i < Read16(section_, at); ++i) {
            key.name += static_cast<char16_t>(Read16(section_, at + 2 + 2 * i));
        }
        if (key.name.empty()) return Fail("a resource has an empty name");
        return true;
    }

    bool ReadData(std::uint32_t offset, Resource path)
    {
        if (!Fits(section_, offset, kDataEntrySize)) {
            return Fail("a resource's data entry lies outside its section");
        }
        const std::uint32_t size = Read32(section_, offset + 4u);
        if (resources_.size() >= kMaximumResources || size > kMaximumResourceBytes - bytes_) {
            return Fail("the resource tree loops");
        }
        path.codePage = Read32(section_, offset + 8u);
        if (!image_(Read32(section_, offset), size, path.data)) {
            return Fail("a resource's data lies outside the image");
        }
        bytes_ += size;
        resources_.push_back(std::move(path));
        return true;
    }

    bool Fail(const char* reason)
    {
        error_ = reason;
        return false;
    }

    std::string_view section_;
    const ResourceTable::ImageReader& image_;
    std::vector<Resource>& resources_;
    std::size_t bytes_ = 0; // of all data read
    std::string error_;
};

// The resources grouped as the tree holds them.
struct NameNode {
    const ResourceKey* name;
    std::vector<const Resource*> languages;
};
struct TypeNode {
    const ResourceKey* type;
    std::vector<NameNode> names;
};

std::vector<TypeNode> GroupResources(const std::vector<Resource>& sorted)
{
    std::vector<TypeNode> types;
    for (const Resource& resource : sorted) {
        if (types.empty() || !(*types.back().type == resource.type)) types.push_back({&resource.type, {}});
        std::vector<NameNode>& names = types.back().names;
        if (names.empty() || !(*names.back().name == resource.name)) names.push_back({&resource.name, {}});
        names.back().languages.push_back(&resource);
    }
    return types;
}

class TreeWriter {
public:
    explicit TreeWriter(std::uint32_t sectionRva)
        : sectionRva_(sectionRva)
    {
    }

    std::string Write(const std::vector<TypeNode>& types)
    {
        // Directories first, breadth by breadth, then the names, the data
        // entries and the data: each part's place is known before it is written.
        std::size_t directories = kDirectorySize + types.size() * kEntrySize;
        for (const TypeNode& type : types) {
            directories += kDirectorySize + type.names.size() * kEntrySize;
            for (const NameNode& name : type.names) {
                directories += kDirectorySize + name.languages.size() * kEntrySize;
            }
        }
        tree_.assign(directories, '\0');

        std::size_t nextDirectory = kDirectorySize + types.size() * kEntrySize;
        std::vector<std::size_t> typeDirectories;
        for (const TypeNode& type : types) {
            typeDirectories.push_back(nextDirectory);
            nextDirectory += kDirectorySize + type.names.size() * kEntrySize;
        }
        std::vector<std::pair<std::size_t, const Resource*>> dataEntries; // entry field, resource
        WriteHeader(0, types, [](const TypeNode& node) { return node.type; });
        for (std::size_t t = 0; t < types.size(); ++t) {
            SetEntry(0, t, *types[t].type, typeDirectories[t] | kHighBit);
            const std::vector<NameNode>& names = types[t].names;
            WriteHeader(typeDirectories[t], names, [](const NameNode& node) { return node.name; });
            for (std::size_t n = 0; n < names.size(); ++n) {
                const std::size_t languageDirectory = nextDirectory;
                nextDirectory += kDirectorySize + names[n].languages.size() * kEntrySize;
                SetEntry(typeDirectories[t], n, *names[n].name, languageDirectory | kHighBit);
                Write16(tree_, languageDirectory + 14, static_cast<std::uint16_t>(names[n].languages.size()));
                for (std::size_t l = 0; l < names[n].languages.size(); ++l) {
                    const Resource* resource = names[n].languages[l];
                    Write32(tree_, EntryAt(languageDirectory, l), resource->language);
                    dataEntries.emplace_back(EntryAt(languageDirectory, l) + 4, resource);
                }
            }
        }
        WriteNames();
        WriteData(dataEntries);
        return tree_;
    }

private:
    static std::size_t EntryAt(std::size_t directory, std::size_t index)
    {
        return directory + kDirectorySize + index * kEntrySize;
    }

    template <typename Node, typename KeyOf>
    void WriteHeader(std::size_t directory, const std::vector<Node>& nodes, KeyOf keyOf)
    {
        const auto named = std::count_if(nodes.begin(), nodes.end(),
                                         [&](const Node& node) { return !keyOf(node)->name.empty(); });
        Write16(tree_, directory + 12, static_cast<std::uint16_t>(named));
        Write16(tree_, directory + 14,
                static_cast<std::uint16_t>(nodes.size() - static_cast<std::size_t>(named)));
    }

    void SetEntry(std::size_t directory, std::size_t index, const ResourceKey& key, std::size_t target)
    {
        const std::size_t entry = EntryAt(directory, index);
        if (key.name.empty()) {
            Write32(tree_, entry, key.id);
        } else {
            pendingNames_.emplace_back(entry, &key.name);
        }
        Write32(tree_, entry + 4, static_cast<std::uint32_t>(target));
    }

    void WriteNames()
    {
        for (const auto& [entry, name] : pendingNames_) {
            Write32(tree_, entry, static_cast<std::uint32_t>(tree_.size()) | kHighBit);
            Append16(tree_, static_cast<std::uint16_t>(name->size()));
            AppendUtf16(tree_, *name);
        }
    }

    void WriteData(const std::vector<std::pair<std::size_t, const Resource*>>& dataEntries)
    {
        PadTo(tree_, 4);
        std::vector<std::size_t> entries;
        for (const auto& [field, resource] : dataEntries) {
            Write32(tree_, field, static_cast<std::uint32_t>(tree_.size()));
            entries.push_back(tree_.size());
            tree_.append(kDataEntrySize, '\0');
        }
        for (std::size_t i = 0; i < dataEntries.size(); ++i) {
            const Resource& resource = *dataEntries[i].second;
            PadTo(tree_, 8);
            Write32(tree_, entries[i], sectionRva_ + static_cast<std::uint32_t>(tree_.size()));
            Write32(tree_, entries[i] + 4, static_cast<std::uint32_t>(resource.data.size()));
            Write32(tree_, entries[i] + 8, resource.codePage);
            tree_ += resource.data;
        }
    }

    std::uint32_t sectionRva_;
    std::string tree_;
    std::vector<std::pair<std::size_t, const std::u16string*>> pendingNames_;
};

bool SameSlot(const Resource& a, const Resource& b)
{
    return a.type == b.type && a.name == b.name && a.language == b.language;
}

} // namespace

bool operator<(const ResourceKey& a, const ResourceKey& b)
{
    if (a.name.empty() != b.name.empty()) return !a.name.empty();
    if (!a.name.empty()) return CompareCaseless(a.name, b.name) < 0;
    return a.id < b.id;
}

bool ResourceTable::Read(std::string_view section, const ImageReader& image, std::string& error)
{
    resources_.clear();
    TreeReader reader(section, image, resources_);
    Resource path;
    if (!reader.ReadDirectory(0, 0, path)) {
        error = reader.Error();
        return false;
    }
    return true;
}

const Resource* ResourceTable::Find(const ResourceKey& type, const ResourceKey& name) const
{
    for (const Resource& resource : resources_) {
        if (resource.type == type && resource.name == name) return &resource;
    }
    return nullptr;
}

void ResourceTable::RemoveType(const ResourceKey& type)
{
    std::erase_if(resources_, [&](const Resource& resource) { return resource.type == type; });
}

void ResourceTable::Put(Resource resource)
{
    std::erase_if(resources_, [&](const Resource& existing) { return SameSlot(existing, resource); });
    resources_.push_back(std::move(resource));
}

void ResourceTable::Put(const ResourceKey& type, const ResourceKey& name, std::string data)
{
    Resource resource;
    resource.type = type;
    resource.name = name;
    resource.language = kEnglishUs;
    resource.data = std::move(data);
    Put(std::move(resource));
}

std::string ResourceTable::Build(std::uint32_t sectionRva) const
{
    std::vector<Resource> sorted = resources_;
    std::stable_sort(sorted.begin(), sorted.end(), [](const Resource& a, const Resource& b) {
        return std::tie(a.type, a.name, a.language) < std::tie(b.type, b.name, b.language);
    });
    return TreeWriter(sectionRva).Write(GroupResources(sorted));
}

} // namespace tala::pack
