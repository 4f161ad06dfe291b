#include "pack/VersionResource.h"

#include "pack/Bytes.h"

#include <array>
#include <cstdint>
#include <optional>

namespace tala::pack {
namespace {

constexpr std::array<std::u16string_view, 9> kNames = {
    u"FileVersion",    u"ProductVersion",   u"CompanyName",  u"FileDescription", u"ProductName",
    u"LegalCopyright", u"OriginalFilename", u"InternalName", u"Comments"};

// Language 0409 (English, United States), code page 04B0 (UTF-16).
constexpr std::u16string_view kStringTableName = u"040904B0";
constexpr std::uint32_t kTranslation = 0x04B00409;

// One node of the version tree: length, value length, type (1 for text),
// the key with its terminating null, padding to 4 bytes, the value,
// padding, then the children. Lengths count bytes, but a text value's
// length counts its characters with the null.
std::string Node(std::u16string_view key, const std::string& value, std::uint16_t valueLength, bool text,
                 const std::string& children = {})
{
    std::string node(6, '\0');
    AppendUtf16(node, key);
    Append16(node, 0);
    PadTo(node, 4);
    node += value;
    if (!children.empty()) PadTo(node, 4);
    node += children;
    Write16(node, 0, static_cast<std::uint16_t>(node.size()));
    Write16(node, 2, valueLength);
    Write16(node, 4, text ? 1 : 0);
    return node;
}

std::string TextNode(std::u16string_view key, std::u16string_view text)
{
    std::string value;
    AppendUtf16(value, text);
    Append16(value, 0);
    return Node(key, value, static_cast<std::uint16_t>(text.size() + 1), true);
}

// "1.2.3.4" as the two 32-bit halves of a binary version; none when the
// text is not one to four dotted numbers of at most 65535.
std::optional<std::pair<std::uint32_t, std::uint32_t>> BinaryVersion(std::u16string_view text)
{
    std::array<std::uint32_t, 4> parts{};
    std::size_t part = 0;
    bool digits = false;
    for (const char16_t c : text) {
        if (c == u'.' && digits && part < 3) {
            ++part;
            digits = false;
        } else if (c >= u'0' && c <= u'9' && (parts[part] = parts[part] * 10 + (c - u'0')) <= 0xFFFF) {
            digits = true;
        } else {
            return std::nullopt;
        }
    }
    if (!digits) return std::nullopt;
    return std::pair{parts[0] << 16 | parts[1], parts[2] << 16 | parts[3]};
}

std::string FixedFileInfo(const VersionStrings& strings)
{
    std::array<std::uint32_t, 4> versions{}; // file high, low; product high, low
    for (const auto& [name, value] : strings) {
        std::size_t at = 0;
        if (name == u"ProductVersion") {
            at = 2;
        } else if (name != u"FileVersion") {
            continue;
        }
        const auto binary = BinaryVersion(value);
        if (!binary) continue;
        versions[at] = binary->first;
        versions[at + 1] = binary->second;
    }
    std::string info;
    Append32(info, 0xFEEF04BD); // signature
    Append32(info, 0x00010000); // structure version 1.0
    for (const std::uint32_t version : versions) Append32(info, version);
    Append32(info, 0x3F);       // the flags that are defined
    Append32(info, 0);          // none set
    Append32(info, 0x00040004); // Windows NT, 32-bit and later
    Append32(info, 1);          // an application
    Append32(info, 0);          // no subtype
    Append32(info, 0);          // no date
    Append32(info, 0);
    return info;
}

} // namespace

bool IsVersionStringName(std::u16string_view name)
{
    for (const std::u16string_view known : kNames) {
        if (name == known) return true;
    }
    return false;
}

std::string BuildVersionResource(const VersionStrings& strings)
{
    std::string table;
    for (const auto& [name, value] : strings) {
        PadTo(table, 4);
        table += TextNode(name, value);
    }
    std::string translation;
    Append32(translation, kTranslation);

    std::string children = Node(u"StringFileInfo", {}, 0, true, Node(kStringTableName, {}, 0, true, table));
    PadTo(children, 4);
    children += Node(u"VarFileInfo", {}, 0, true, Node(u"Translation", translation, 4, false));
    const std::string fixed = FixedFileInfo(strings);
    return Node(u"VS_VERSION_INFO", fixed, static_cast<std::uint16_t>(fixed.size()), false, children);
}

} // namespace tala::pack
