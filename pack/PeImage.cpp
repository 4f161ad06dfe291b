#include "pack/PeImage.h"

#include "pack/Bytes.h"

#include <algorithm>

namespace tala::pack {
namespace {

constexpr std::size_t kSectionHeaderSize = 40;
constexpr int kResourceDirectory = 2;
constexpr int kCertificateDirectory = 4; // holds a file offset, not an address
constexpr int kRelocationDirectory = 5;

bool Fail(std::string& error, const char* reason)
{
    error = reason;
    return false;
}

bool IsPowerOfTwo(std::uint32_t value) { return value != 0 && (value & (value - 1)) == 0; }

// The memory a section takes: linkers may leave the virtual size zero.
std::uint32_t Extent(const PeSection& section)
{
    return section.virtualSize != 0 ? section.virtualSize : section.rawSize;
}

// The image checksum: 16-bit words added with their carries folded in,
// the checksum field counted as zero, plus the file's length.
std::uint32_t ImageChecksum(std::string_view bytes, std::size_t checksumField)
{
    std::uint64_t sum = 0;
    for (std::size_t at = 0; at < bytes.size(); at += 2) {
        if (at == checksumField || at == checksumField + 2) continue;
        std::uint32_t word = static_cast<unsigned char>(bytes[at]);
        if (at + 1 < bytes.size()) word |= std::uint32_t{static_cast<unsigned char>(bytes[at + 1])} << 8;
        sum += word;
        sum = (sum & 0xFFFFu) + (sum >> 16);
    }
    sum = (sum & 0xFFFFu) + (sum >> 16);
    return static_cast<std::uint32_t>(sum + bytes.size());
}

} // namespace

bool PeImage::Parse(std::string bytes, std::string& error)
{
    bytes_ = std::move(bytes);
    const std::string_view file = bytes_;
    if (!Fits(file, 0, 64) || file.substr(0, 2) != "MZ") return Fail(error, "is not a Windows executable");
    const std::uint32_t peHeader = Read32(file, 0x3C);
    if (!Fits(file, peHeader, 24) || file.substr(peHeader, 4) != std::string_view("PE\0\0", 4)) {
        return Fail(error, "its PE headers are missing or cut short");
    }
    const std::size_t fileHeader = peHeader + 4u;
    const std::uint16_t sectionCount = Read16(file, fileHeader + 2);
    const std::uint16_t optionalSize = Read16(file, fileHeader + 16);
    optionalHeader_ = fileHeader + 20;
    if (!Fits(file, optionalHeader_, optionalSize) || optionalSize < 2) {
        return Fail(error, "its optional header is cut short");
    }
    const std::uint16_t magic = Read16(file, optionalHeader_);
    if (magic != 0x10B && magic != 0x20B) return Fail(error, "its optional header is of an unknown kind");
    // The 64-bit kind's fields up to the directory count take 16 bytes more.
    const std::size_t countField = optionalHeader_ + (magic == 0x20B ? 108u : 92u);
    directories_ = countField + 4;
    if (directories_ > optionalHeader_ + optionalSize) return Fail(error, "its optional header is cut short");
    directoryCount_ = std::min<std::uint32_t>(Read32(file, countField), 16);
    if (directories_ + directoryCount_ * 8u > optionalHeader_ + optionalSize) {
        return Fail(error, "its data directories are cut short");
    }
    sectionAlignment_ = Read32(file, optionalHeader_ + 32);
    fileAlignment_ = Read32(file, optionalHeader_ + 36);
    if (!IsPowerOfTwo(sectionAlignment_) || !IsPowerOfTwo(fileAlignment_)) {
        return Fail(error, "its section alignment is malformed");
    }

    const std::size_t table = optionalHeader_ + optionalSize;
    if (!Fits(file, table, std::uint64_t{sectionCount} * kSectionHeaderSize)) {
        return Fail(error, "its section table is cut short");
    }
    sections_.clear();
    sectionsEnd_ = table + sectionCount * kSectionHeaderSize;
    for (std::size_t i = 0; i < sectionCount; ++i) {
        const std::size_t header = table + i * kSectionHeaderSize;
        const PeSection section{header, Read32(file, header + 8), Read32(file, header + 12),
                                Read32(file, header + 16), Read32(file, header + 20)};
        if (section.rawSize != 0 && !Fits(file, section.rawPointer, section.rawSize)) {
            return Fail(error, "is cut short: a section's data lies beyond the end of the file");
        }
        if (section.rawSize != 0) {
            sectionsEnd_ = std::max<std::size_t>(sectionsEnd_, section.rawPointer + section.rawSize);
        }
        sections_.push_back(section);
    }

    overlayEnd_ = bytes_.size();
    if (DirectorySize(kCertificateDirectory) != 0) {
        const std::uint32_t certificates = Directory(kCertificateDirectory);
        if (certificates < sectionsEnd_ || !Fits(file, certificates, DirectorySize(kCertificateDirectory))) {
            return Fail(error, "its certificate table lies outside the file");
        }
        overlayEnd_ = certificates;
    }
    return true;
}

bool PeImage::LocateResources(std::string& error)
{
    const std::uint32_t resources = Directory(kResourceDirectory);
    const auto found = std::find_if(sections_.begin(), sections_.end(), [&](const PeSection& section) {
        return resources != 0 && section.virtualAddress == resources && section.rawSize != 0;
    });
    if (found == sections_.end()) return Fail(error, "has no resource section");
    resourceSection_ = static_cast<std::size_t>(found - sections_.begin());
    const PeSection& resourceSection = *found;
    if (resourceSection.rawPointer < sections_.back().header + kSectionHeaderSize) {
        return Fail(error, "its resource section overlaps its headers");
    }
    // Every byte before the resource section's data stays where it is, and
    // only the relocations come behind it.
    for (std::size_t i = 0; i < resourceSection_; ++i) {
        const PeSection& section = sections_[i];
        if (section.rawSize != 0 &&
            section.rawPointer + std::uint64_t{section.rawSize} > resourceSection.rawPointer) {
            return Fail(error, "its sections' data are not in the order of their addresses");
        }
    }
    std::uint32_t lastRaw = resourceSection.rawPointer;
    for (std::size_t i = resourceSection_ + 1; i < sections_.size(); ++i) {
        const PeSection& section = sections_[i];
        // A section without data may name any position: it is never read.
        const bool outOfOrder = section.rawSize != 0 && section.rawPointer < lastRaw;
        if (section.virtualAddress != Directory(kRelocationDirectory) || outOfOrder) {
            return Fail(error, "its resource section is not at the end of the image");
        }
        if (section.rawSize != 0) lastRaw = section.rawPointer;
    }
    for (int i = 0; i < static_cast<int>(directoryCount_); ++i) {
        if (i == kCertificateDirectory || i == kResourceDirectory || i == kRelocationDirectory) continue;
        if (Directory(i) >= resourceSection.virtualAddress) {
            return Fail(error, "data behind its resources would move");
        }
    }
    return true;
}

bool PeImage::ReadResources(ResourceTable& resources, std::string& error) const
{
    const PeSection& section = sections_[resourceSection_];
    const std::string_view data = std::string_view(bytes_).substr(section.rawPointer, section.rawSize);
    const auto image = [this](std::uint32_t rva, std::uint32_t size, std::string& bytes) {
        return ReadImage(rva, size, bytes);
    };
    return resources.Read(data, image, error);
}

std::string_view PeImage::Overlay() const
{
    return std::string_view(bytes_).substr(sectionsEnd_, overlayEnd_ - sectionsEnd_);
}

std::string PeImage::Rebuild(const ResourceTable& resources, std::string_view overlay) const
{
    const PeSection& resourceSection = sections_[resourceSection_];
    std::string out = bytes_.substr(0, resourceSection.rawPointer);
    const std::string tree = resources.Build(resourceSection.virtualAddress);
    out += tree;
    PadTo(out, fileAlignment_);
    const auto rawSize = static_cast<std::uint32_t>(out.size() - resourceSection.rawPointer);
    Write32(out, resourceSection.header + 8, static_cast<std::uint32_t>(tree.size()));
    Write32(out, resourceSection.header + 16, rawSize);
    Write32(out, DirectoryField(kResourceDirectory) + 4, static_cast<std::uint32_t>(tree.size()));
    // The size of initialised data follows the section's growth.
    Write32(out, optionalHeader_ + 8, Read32(out, optionalHeader_ + 8) + rawSize - resourceSection.rawSize);

    std::uint32_t imageEnd = resourceSection.virtualAddress + static_cast<std::uint32_t>(tree.size());
    for (std::size_t i = resourceSection_ + 1; i < sections_.size(); ++i) {
        const PeSection& section = sections_[i];
        const std::uint32_t address = AlignUp(imageEnd, sectionAlignment_);
        Write32(out, section.header + 12, address);
        Write32(out, section.header + 20, section.rawSize != 0 ? static_cast<std::uint32_t>(out.size()) : 0);
        if (section.rawSize != 0) out.append(bytes_, section.rawPointer, section.rawSize);
        Write32(out, DirectoryField(kRelocationDirectory),
                address + Directory(kRelocationDirectory) - section.virtualAddress);
        imageEnd = address + Extent(section);
    }
    Write32(out, optionalHeader_ + 56, AlignUp(imageEnd, sectionAlignment_)); // SizeOfImage
    if (directoryCount_ > kCertificateDirectory) {
        Write32(out, DirectoryField(kCertificateDirectory), 0);
        Write32(out, DirectoryField(kCertificateDirectory) + 4, 0);
    }
    out += overlay;
    const std::size_t checksumField = optionalHeader_ + 64;
    Write32(out, checksumField, 0);
    Write32(out, checksumField, ImageChecksum(out, checksumField));
    return out;
}

std::uint32_t PeImage::Directory(int index) const
{
    return static_cast<std::uint32_t>(index) < directoryCount_ ? Read32(bytes_, DirectoryField(index)) : 0;
}

std::uint32_t PeImage::DirectorySize(int index) const
{
    return static_cast<std::uint32_t>(index) < directoryCount_ ? Read32(bytes_, DirectoryField(index) + 4)
                                                               : 0;
}

std::size_t PeImage::DirectoryField(int index) const
{
    return directories_ + static_cast<std::size_t>(index) * 8;
}

bool PeImage::ReadImage(std::uint32_t rva, std::uint32_t size, std::string& bytes) const
{
    for (const PeSection& section : sections_) {
        if (rva < section.virtualAddress || rva - section.virtualAddress > section.rawSize) continue;
        const std::uint32_t offset = rva - section.virtualAddress;
        if (size > section.rawSize - offset) return false;
        bytes.assign(bytes_, section.rawPointer + offset, size);
        return true;
    }
    return false;
}

} // namespace tala::pack
