// The VM options of one run, in the order the VM receives them: narrow texts
// (the thread's ANSI code page on Windows, UTF-8 elsewhere), only ever appended.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace tala {

class VmOptionList {
public:
    void Append(std::string option) { options_.push_back(std::move(option)); }
    const std::vector<std::string>& Options() const { return options_; }

private:
    std::vector<std::string> options_;
};

} // namespace tala
