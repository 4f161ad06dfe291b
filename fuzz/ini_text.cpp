// The POSIX settings-file reader and writer on any bytes: no crash, and after
// the "JRE Path" write-back the key reads back as written.
#include "os/posix/IniText.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tala::os::ini;
    const DecodedText decoded =
        Decode(std::string_view(reinterpret_cast<const char*>(data), size));
    FindValue(decoded.text, u"Java Runtime Environment", u"Main Class");
    SectionNames(decoded.text);

    const std::u16string written =
        WithValue(decoded.text, u"Java Runtime Environment", u"JRE Path", u"C:\\picked\\");
    const auto value = FindValue(written, u"java runtime environment", u"jre path");
    if (!value || *value != u"C:\\picked\\") __builtin_trap();
    Encode(written, decoded.encoding);
    return 0;
}
