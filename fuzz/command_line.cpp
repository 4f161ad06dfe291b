// The command-line splitter on any text: no crash, no more characters out than in.
#include "fuzz/FuzzInput.h"
#include "launcher/CommandLine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tala;
    const std::u16string text = fuzz::AsUtf16(data, size);
    StringList words;
    SplitCommandLine(text, words);
    std::size_t characters = 0;
    for (const std::u16string& word : words) characters += word.size();
    fuzz::Require(characters <= text.size());
    fuzz::Require(words.size() <= text.size());

    // Trimming first may join or part words, so only the count bound holds here.
    const StringList arguments = ProgramArgumentsFrom({text, {}});
    fuzz::Require(arguments.size() <= text.size());
    return 0;
}
