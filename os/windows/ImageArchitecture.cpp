#include "os/ImageArchitecture.h"

#include "os/Library.h"
#include "os/windows/SystemLibrary.h"
#include "os/windows/UniqueHandle.h"
#include "os/windows/Wide.h"

#include <cstring>

namespace tala::os {
namespace {

using ImageNtHeaderFunction = PIMAGE_NT_HEADERS(WINAPI*)(PVOID);

// ImageNtHeader trusts the offset in the DOS header: a truncated or damaged
// file must not make it read past the mapped bytes. An image also has to hold
// its whole optional header, or it is no image anyone could load.
bool HeadersLieWithin(const unsigned char* image, ULONGLONG size)
{
    if (size < sizeof(IMAGE_DOS_HEADER)) return false;
    IMAGE_DOS_HEADER dos;
    std::memcpy(&dos, image, sizeof dos);
    if (dos.e_magic != IMAGE_DOS_SIGNATURE || dos.e_lfanew < 0) return false;
    const ULONGLONG fileHeader = static_cast<ULONGLONG>(dos.e_lfanew) + sizeof(DWORD);
    if (fileHeader + sizeof(IMAGE_FILE_HEADER) > size) return false;
    IMAGE_FILE_HEADER header;
    std::memcpy(&header, image + fileHeader, sizeof header);
    return fileHeader + sizeof(IMAGE_FILE_HEADER) + header.SizeOfOptionalHeader <= size;
}

} // namespace

bool IsX86Image(const std::u16string& path)
{
    const UniqueHandle file(ValidOrNull(::CreateFileW(Wide(path), GENERIC_READ, FILE_SHARE_READ,
                                                      nullptr, OPEN_EXISTING,
                                                      FILE_ATTRIBUTE_NORMAL, nullptr)));
    LARGE_INTEGER size{};
    if (file == nullptr || !::GetFileSizeEx(file.get(), &size)) return false;
    const UniqueHandle mapping(
        ::CreateFileMappingW(file.get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
    if (mapping == nullptr) return false;
    const UniqueMappedView view(::MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, 0));
    if (view.get() == nullptr) return false;

    const auto* image = static_cast<const unsigned char*>(view.get());
    if (!HeadersLieWithin(image, static_cast<ULONGLONG>(size.QuadPart))) return false;

    // Never a dbghelp.dll planted beside the launcher.
    const UniqueModule dbghelp = LoadSystemLibrary(L"dbghelp.dll");
    if (dbghelp == nullptr) return false;
    ImageNtHeaderFunction imageNtHeader = nullptr;
    if (!SymbolLookup(dbghelp.get()).Find(imageNtHeader, "ImageNtHeader")) return false;
    const PIMAGE_NT_HEADERS headers = imageNtHeader(const_cast<unsigned char*>(image));
    if (headers == nullptr) return false;

    DWORD signature = 0;
    WORD machine = 0;
    std::memcpy(&signature, &headers->Signature, sizeof signature);
    std::memcpy(&machine, &headers->FileHeader.Machine, sizeof machine);
    return signature == IMAGE_NT_SIGNATURE && machine == IMAGE_FILE_MACHINE_I386;
}

} // namespace tala::os
