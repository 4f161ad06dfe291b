// A Windows executable read as its headers, its sections and what lies
// behind them, and written again with a new resource section: the one part
// of the image branding changes. Sections before the resources keep their
// bytes and addresses; the base relocations, when they follow the
// resources, move behind the new resource section.
#pragma once

#include "pack/Resources.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tala::pack {

struct PeSection {
    std::size_t header = 0; // offset of its header in the file
    std::uint32_t virtualSize = 0;
    std::uint32_t virtualAddress = 0;
    std::uint32_t rawSize = 0;
    std::uint32_t rawPointer = 0;
};

class PeImage {
public:
    // False with the reason when the bytes are no executable image.
    bool Parse(std::string bytes, std::string& error);

    // False with the reason when the resources cannot be rewritten in place:
    // they must be the last section but for the base relocations, which
    // nothing addresses but their directory.
    bool LocateResources(std::string& error);
    bool ReadResources(ResourceTable& resources, std::string& error) const;

    // What follows the sections in the file, without a signature's
    // certificate table.
    std::string_view Overlay() const;

    // The image with the resources in place of its own and the overlay
    // behind it, its checksum made again and no certificate table.
    std::string Rebuild(const ResourceTable& resources, std::string_view overlay) const;

private:
    std::uint32_t Directory(int index) const;
    std::uint32_t DirectorySize(int index) const;
    std::size_t DirectoryField(int index) const;
    bool ReadImage(std::uint32_t rva, std::uint32_t size, std::string& bytes) const;

    std::string bytes_;
    std::size_t optionalHeader_ = 0;
    std::size_t directories_ = 0; // the data directory table
    std::uint32_t directoryCount_ = 0;
    std::uint32_t fileAlignment_ = 0;
    std::uint32_t sectionAlignment_ = 0;
    std::vector<PeSection> sections_;
    std::size_t resourceSection_ = 0; // index into sections_
    std::size_t sectionsEnd_ = 0;     // the end of the last section's file data
    std::size_t overlayEnd_ = 0;      // where a certificate table begins, else the file's end
};

} // namespace tala::pack
