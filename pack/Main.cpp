// tala-pack: brands a Tala launcher for a product (see PackUsage).
#include "os/Utf8.h"
#include "pack/Pack.h"
#include "pack/PackFiles.h"

#include <string>
#include <vector>

namespace tala::pack {
namespace {

int RunPackTool(const std::vector<std::u16string>& words)
{
    PackRequest request;
    bool help = false;
    std::u16string error;
    if (!ParsePackArguments(words, request, help, error)) {
        PrintLine(u"tala-pack: " + error + u" (tala-pack --help shows how to call it)");
        return 2;
    }
    if (help) {
        PrintLine(PackUsage(), false);
        return 0;
    }
    if (!Pack(request, error)) {
        PrintLine(u"tala-pack: " + error);
        return 1;
    }
    return 0;
}

} // namespace
} // namespace tala::pack

#ifdef _WIN32
int wmain(int argc, wchar_t** argv)
{
    std::vector<std::u16string> words;
    for (int i = 1; i < argc; ++i) words.emplace_back(reinterpret_cast<const char16_t*>(argv[i]));
    return tala::pack::RunPackTool(words);
}
#else
int main(int argc, char** argv)
{
    std::vector<std::u16string> words;
    for (int i = 1; i < argc; ++i) words.push_back(tala::os::FromUtf8(argv[i]));
    return tala::pack::RunPackTool(words);
}
#endif
