// Message texts as the user reads them: the string table and the formatting.
#include "launcher/ErrorReport.h"

#include <gtest/gtest.h>

namespace tala {
namespace {

TEST(MessageText, ComposedMessagesReadAsShown)
{
    const std::pair<std::u16string, std::u16string> cases[] = {
        {FormatFromId(MessageId::WindowsException, {DetailText(MessageId::ModulePathFailed), 5}),
         u"Windows exception: failed to get the module path (errno = 5).\n"},
        {FormatMessageText(u"%d %d", {0, -7}), u"0 -7"},
        {FormatFromId(MessageId::JniException, {DetailText(MessageId::CreateJavaVmFailed),
                                                DetailText(MessageId::ReasonInvalidArguments)}),
         u"JNI exception: failed to create the Java VM\nReason: invalid arguments.\n"},
        {FormatFromId(MessageId::JniException, {DetailText(MessageId::CreateJavaVmFailed), u""}),
         u"JNI exception: failed to create the Java VM\nReason: .\n"},
        {FormatFromId(MessageId::VmLibraryLoadFailed, {u"C:\\jre\\bin\\server\\jvm.dll", -2147483647 - 1}),
         u"Failed to load Java VM library: C:\\jre\\bin\\server\\jvm.dll (errno = -2147483648).\n"},
        {FormatFromId(MessageId::JreNotFound, {FormatFromId(MessageId::MinimumVersion, {u"1.8"})}),
         u"The Java Runtime Environment (JRE) was not found. Please  download and install a JRE "
         u"(minimum version 1.8) from:"},
        {FormatFromId(MessageId::VersionBetween, {u"1.8"}), u"version between 1.8 and "},
        {FormatMessageText(u"100%% %q %", {}), u"100% %q %"},
        {MessageText(MessageId::MainMethodNotFound), u"No main method found in specified class.\n"},
        {MessageText(static_cast<MessageId>(999)), u""},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(text, expected);
}

TEST(MessageText, EveryIdFrom202To230HasAText)
{
    for (int id = 202; id <= 230; ++id) {
        EXPECT_FALSE(MessageText(static_cast<MessageId>(id)).empty()) << id;
    }
}

} // namespace
} // namespace tala
