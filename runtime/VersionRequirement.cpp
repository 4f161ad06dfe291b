#include "runtime/VersionRequirement.h"

#include "launcher/ErrorReport.h"

namespace tala {

std::u16string DescribeVersionRequirement(const VersionNumber& minimum, const VersionNumber& maximum)
{
    if (minimum.IsUnbounded()) {
        if (maximum.IsUnbounded()) return MessageText(MessageId::LatestVersion);
        return FormatFromId(MessageId::MaximumVersion, {maximum.ToDisplayString()});
    }
    if (maximum.IsUnbounded()) return FormatFromId(MessageId::MinimumVersion, {minimum.ToDisplayString()});
    if (minimum == maximum) return FormatFromId(MessageId::VersionRequired, {minimum.ToDisplayString()});
    return FormatFromId(MessageId::VersionBetween,
                        {minimum.ToDisplayString(), maximum.ToDisplayString()});
}

std::u16string RuntimeNotFoundMessage(const LauncherSettings& settings)
{
    const MessageId format =
        settings.jvmType == JvmType::Server ? MessageId::JreNotFoundServer : MessageId::JreNotFound;
    return FormatFromId(format,
                        {DescribeVersionRequirement(settings.minimumVersion, settings.maximumVersion)});
}

} // namespace tala
