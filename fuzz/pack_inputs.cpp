// tala-pack's readers on any launcher, icon, jar or settings file: no crash, and
// an executable rebuilt from the resources read reads back the same.
#include "fuzz/FuzzInput.h"
#include "pack/IconGroup.h"
#include "pack/JarArchive.h"
#include "pack/PeImage.h"
#include "pack/SettingsText.h"

#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tala::pack;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::string error;

    ResourceTable resources;
    PeImage image;
    if (image.Parse(std::string(bytes), error) && image.LocateResources(error) &&
        image.ReadResources(resources, error)) {
        PutIconGroup(bytes, resources, error);
        PeImage rebuilt;
        ResourceTable again;
        tala::fuzz::Require(rebuilt.Parse(image.Rebuild(resources, image.Overlay()), error) &&
                            rebuilt.LocateResources(error) && rebuilt.ReadResources(again, error));
        tala::fuzz::Require(again.All().size() == resources.All().size());
    }

    std::size_t length = 0;
    if (MeasureJar(bytes, length, error)) tala::fuzz::Require(length <= size);
    MakeSettingsToCarry(bytes);
    return 0;
}
