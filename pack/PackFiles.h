// What tala-pack needs of the system: whole files read and written, the
// output written beside its place and renamed into it, and its messages.
#pragma once

#include <string>
#include <string_view>

namespace tala::pack {

// False with the system's reason.
bool ReadWholeFile(const std::u16string& path, std::string& bytes, std::u16string& reason);

// Writes a file beside the target and renames it over the target, so a
// failure leaves no file behind and an existing target as it was. The file
// gets the permissions of modeFrom (where the system has them), so a packed
// launcher stays executable.
bool WriteFileInPlace(const std::u16string& path, std::string_view bytes, const std::u16string& modeFrom,
                      std::u16string& reason);

// A line on standard error (or standard output).
void PrintLine(std::u16string_view text, bool toError = true);

} // namespace tala::pack
