// Version reading on any text: no crash, no overflow, self-consistent comparisons and patterns.
#include "fuzz/FuzzInput.h"
#include "runtime/VersionNumber.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tala;
    const std::u16string text = fuzz::AsUtf16(data, size);
    VersionNumber low;
    VersionNumber high;
    const bool lowRead = low.Parse(text, 0);
    const bool highRead = high.Parse(text, VersionNumber::kCeilingPart);
    fuzz::Require(lowRead == highRead);
    fuzz::Require(lowRead ? low.partCount >= 1 && low.partCount <= 4 : low == VersionNumber());
    fuzz::Require(VersionNumber::Compare(low, high) <= 0);
    fuzz::Require(VersionNumber::MatchesPrefix(low, low));
    fuzz::Require(VersionNumber::Compare(low, high) == -VersionNumber::Compare(high, low));

    VersionNumber shown;
    if (lowRead && !low.IsUnbounded()) fuzz::Require(shown.Parse(low.ToDisplayString(), 0));
    VersionNumber::ParseBound(text, VersionNumber::Bound::Maximum);
    return 0;
}
