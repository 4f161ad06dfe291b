// The block a first instance shares with later starts of the same
// executable: its fixed layout, the name everything of an instance is called
// by, and the argument block a later start leaves for the first instance.
#pragma once

#include "os/PathStyle.h"
#include "settings/StringRules.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tala {

// Little-endian fields, at these offsets.
inline constexpr std::size_t kInstanceBlockSize = 2092;
inline constexpr std::size_t kListenerThreadOffset = 0; // the first instance's listener thread
inline constexpr std::size_t kProcessIdOffset = 4;      // the first instance's process
inline constexpr std::size_t kHandOffMessageOffset = 8;
inline constexpr std::size_t kArgumentBlockOffset = 12;
inline constexpr std::size_t kArgumentBlockSize = 1040; // then 1040 bytes reserved, never written

using InstanceBlock = std::span<std::byte, kInstanceBlockSize>;
using ArgumentBlock = std::span<std::byte, kArgumentBlockSize>;

// The executable's full path with every path separator replaced by "_"
// (C:\Apps\Tool\tool.exe gives C:_Apps_Tool_tool.exe). Letter case is kept:
// two paths that differ only in it name two instances.
std::u16string InstanceNameFor(std::u16string_view executablePath,
                               os::PathStyle style = os::kHostPathStyle);

std::uint32_t ReadBlockNumber(InstanceBlock block, std::size_t offset);
void WriteBlockNumber(InstanceBlock block, std::size_t offset, std::uint32_t value);

inline ArgumentBlock ArgumentsOf(InstanceBlock block)
{
    return block.subspan<kArgumentBlockOffset, kArgumentBlockSize>();
}

// Each argument's UTF-16 code units and one zero unit, then one more zero
// unit, the rest zero. False, with the block untouched, when they take more
// than its 520 units.
bool WriteArgumentBlock(const StringList& arguments, ArgumentBlock block);

// The arguments up to the first empty one (so an all-zero block reads as one
// empty argument). Whatever another process wrote into the block, nothing
// past its end is read: the text that runs into the end is the last argument.
StringList ReadArgumentBlock(ArgumentBlock block);

} // namespace tala
