#include "launcher/CommandLine.h"

namespace tala {

void SplitCommandLine(std::u16string_view text, StringList& list)
{
    std::size_t position = 0;
    while (position < text.size()) {
        std::size_t next = 0;
        if (text[position] == u'"') {
            const std::size_t start = position + 1;
            const std::size_t close = text.find(u'"', start);
            if (close == std::u16string_view::npos) {
                list.emplace_back(text.substr(start));
                return;
            }
            list.emplace_back(text.substr(start, close - start));
            next = close + 1;
        } else {
            const std::size_t space = text.find(u' ', position);
            if (space == std::u16string_view::npos) {
                list.emplace_back(text.substr(position));
                return;
            }
            list.emplace_back(text.substr(position, space - position));
            next = space;
        }
        position = text.find_first_not_of(u' ', next);
    }
}

StringList ProgramArgumentsFrom(const os::ProcessCommandLine& commandLine)
{
    StringList words;
    if (commandLine.text) {
        SplitCommandLine(TrimWhiteSpace(*commandLine.text), words);
    } else {
        words = commandLine.words;
    }
    if (!words.empty()) words.erase(words.begin());
    return words;
}

void ReadCommandLine(StringList& programArguments)
{
    programArguments = ProgramArgumentsFrom(os::GetProcessCommandLine());
}

} // namespace tala
