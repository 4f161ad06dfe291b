// The settings-text parser on any text: no crash; a value set before anything else is found.
#include "fuzz/FuzzInput.h"
#include "settings/EmbeddedSettings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tala;
    const std::u16string text = fuzz::AsUtf16(data, size);
    EmbeddedSettings store;
    store.Parse(text);

    StringList names;
    store.GetSectionNames(names);
    std::u16string value;
    for (const std::u16string& name : names) store.GetString(name, text.substr(0, 8), value);
    store.GetString(u"Java Runtime Environment", u"Main Class", value);

    const std::u16string fresh = u"\x01section-no-text-holds";
    store.SetString(fresh, u"k", u"v");
    value.clear();
    store.GetString(fresh, u"k", value);
    fuzz::Require(value == u"v");
    return 0;
}
