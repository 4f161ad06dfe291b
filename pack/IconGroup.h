// An .ico file turned into the resources of an executable's icon: one icon
// resource per image, and the icon group that lists them.
#pragma once

#include "pack/Resources.h"

#include <string>
#include <string_view>

namespace tala::pack {

// Replaces every icon and icon group of the table with the images of the
// .ico, as group 1. False with the reason when the file is no icon file.
bool PutIconGroup(std::string_view ico, ResourceTable& resources, std::string& error);

} // namespace tala::pack
