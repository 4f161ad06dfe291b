// The POSIX INI reader and writer on any bytes: no crash; a written "JRE Path" reads back.
#include "os/posix/IniText.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tala::os::ini;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const DecodedText decoded = Decode(bytes);
    FindValue(decoded.text, u"Java Runtime Environment", u"Main Class");
    SectionNames(decoded.text);

    const std::u16string written =
        WithValue(decoded.text, u"Java Runtime Environment", u"JRE Path", u"C:\\picked\\");
    const auto value = FindValue(written, u"java runtime environment", u"jre path");
    if (!value || *value != u"C:\\picked\\") __builtin_trap();

    const std::string file = WithValueInFile(bytes, u"Java Runtime Environment", u"JRE Path", u"C:\\picked\\");
    if (Decode(file).text != written) __builtin_trap();
    return 0;
}
