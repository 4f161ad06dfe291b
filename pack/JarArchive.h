// The application's jar as a launcher carries it: appended to the
// executable unchanged. The Java runtime's zip reader finds a zip behind
// other bytes, and before a few more (a signature, a trailer), when its
// offsets count from the zip's own first byte: so they are left as they are.
#pragma once

#include <string>
#include <string_view>

namespace tala::pack {

// The length of the zip that starts the bytes (up to the end of its
// end-of-directory record and comment); false with the reason when they
// start no zip with entries whose offsets count from its first byte.
bool MeasureJar(std::string_view bytes, std::size_t& length, std::string& error);

} // namespace tala::pack
