// Settings through the platform's INI access, the layered store and the per-user copy: the same
// expectations on Windows (private-profile API under Wine) and POSIX (the launcher's reader).
#include "settings/LayeredSettings.h"
#include "settings/ReadSettings.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsPaths.h"
#include "tests/shared/TestFiles.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <functional>
#include <tuple>

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace tala {
namespace {

namespace fs = std::filesystem;
using test::TempFolder;
using test::WriteBytes;

struct IniCase { const char* rule; std::string file; std::u16string section, key, expected; };

TEST(SettingsFile, ReadsValuesAsThePlatformDoes)
{
    const std::string longValue(300, 'v');
    const std::string veryLongValue(5000, 'w');
    const IniCase cases[] = {
        {"names match without regard to case", "[Java Runtime Environment]\r\nMain Class=a.B\r\n",
         u"java runtime environment", u"MAIN CLASS", u"a.B"},
        {"Z matches z", "[zone]\r\nsiZe=1\r\n", u"ZONE", u"size", u"1"},
        {"double quotes are stripped", "[S]\r\nK=\"a b\"\r\n", u"S", u"K", u"a b"},
        {"single quotes are stripped", "[S]\r\nK='a'\r\n", u"S", u"K", u"a"},
        {"unmatched quote stays", "[S]\r\nK=\"a\r\n", u"S", u"K", u"\"a"},
        {"blanks around the = go", "[S]\r\n  K   =   v w   \r\n", u"S", u"K", u"v w"},
        {"the value starts after the first =", "[S]\r\nK=a=b\r\n", u"S", u"K", u"a=b"},
        {"a missing key is empty", "[S]\r\nK=v\r\n", u"S", u"Other", u""},
        {"a missing section is empty", "[S]\r\nK=v\r\n", u"T", u"K", u""},
        {"the first of two keys wins", "[S]\r\nK=1\r\nK=2\r\n", u"S", u"K", u"1"},
        {"a 300-character value comes whole", "[S]\r\nK=" + longValue + "\r\n", u"S", u"K",
         std::u16string(longValue.begin(), longValue.end())},
        {"a 5000-character value comes whole", "[S]\r\nK=" + veryLongValue + "\r\n", u"S", u"K",
         std::u16string(veryLongValue.begin(), veryLongValue.end())},
        {"UTF-16 with a byte-order mark", test::Utf16LeWithBom(u"[S]\r\nK=\u65e5\u672c\r\n"), u"S",
         u"K", u"\u65e5\u672c"},
    };
    for (const IniCase& c : cases) {
        TempFolder folder;
        WriteBytes(folder.Path() / "Shop.ini", c.file);
        SettingsFile file(folder.Child("Shop.ini"));
        EXPECT_EQ(file.Get(c.section, c.key), c.expected) << c.rule;
    }
}

TEST(SettingsFile, AMissingFileReadsEmptyAndWritesCreateIt)
{
    TempFolder folder;
    SettingsFile file(folder.Child("Shop.ini"));
    EXPECT_EQ(file.Get(u"S", u"K"), u"");
    StringList names;
    file.GetSectionNames(names);
    EXPECT_TRUE(names.empty());

    file.SetString(u"Java Runtime Environment", u"JRE Path", u"C:\\jre\\");
    file.SetString(u"Other", u"K", u"v");
    file.SetString(u"java runtime environment", u"jre path", u"D:\\jre\\");
    EXPECT_EQ(file.Get(u"Java Runtime Environment", u"JRE Path"), u"D:\\jre\\");
    EXPECT_EQ(file.Get(u"Other", u"K"), u"v");
    file.GetSectionNames(names);
    EXPECT_EQ(names, (StringList{u"Java Runtime Environment", u"Other"}));
}

#ifndef _WIN32
// How a settings file is met by the "JRE Path" write-back, and who writes.
enum class Setup { File, MissingFolder, Unreadable, ReadOnly, Linked };
enum class Writer { Owner, Root };

// before, after: the file's bytes; none: no file
struct WriteBackCase { const char* rule; Setup setup; Writer writer; std::optional<std::string> before;
    std::optional<std::string> after; };

// As root the files belong to user 65534, who writes them in a child of its
// own (root may read and write anything); otherwise this process is the owner.
constexpr uid_t kPlainUser = 65534;

std::tuple<mode_t, uid_t, gid_t> Ownership(const fs::path& file)
{
    struct stat status {};
    ::stat(file.c_str(), &status);
    return {status.st_mode & 07777, status.st_uid, status.st_gid};
}

// The file's mode for its setup; as root, everything then goes to the plain user.
void GiveToPlainUser(const fs::path& folder, const fs::path& file, Setup setup)
{
    const mode_t modes[] = {0604, 0604, 0200, 0444, 0640};
    ::chmod(file.c_str(), modes[static_cast<int>(setup)]);
    if (::geteuid() != 0) return;
    ::lchown(folder.c_str(), kPlainUser, kPlainUser);
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        ::lchown(entry.path().c_str(), kPlainUser, kPlainUser);
    }
}

// The plain user's child enters the folder before giving up root: it may have no way through
// the folders above. False when root's write is asked without root.
bool RunAs(Writer writer, const fs::path& folder, const std::function<void(const fs::path&)>& write)
{
    const bool root = ::geteuid() == 0;
    if (writer == Writer::Root && !root) return false;
    if (writer == Writer::Root || !root) {
        write(folder);
        return true;
    }
    const pid_t child = ::fork();
    if (child == 0) {
        const bool dropped = ::chdir(folder.c_str()) == 0 && ::setgroups(0, nullptr) == 0 &&
                             ::setresgid(kPlainUser, kPlainUser, kPlainUser) == 0 &&
                             ::setresuid(kPlainUser, kPlainUser, kPlainUser) == 0;
        if (dropped) write(".");
        ::_exit(dropped ? 0 : 1);
    }
    int status = -1;
    ::waitpid(child, &status, 0);
    EXPECT_EQ(status, 0) << "the child could not become user " << kPlainUser;
    return true;
}

// A file that cannot be read or written stays (the start goes on); a link stays a link; mode,
// owner and group stay. Under Wine the profile functions rewrite the whole file (line ends,
// blanks), unlike Windows, so this holds the POSIX writer alone.
TEST(SettingsFile, WriteBackChangesOneLineAndLeavesEveryOtherByte)
{
    const std::string section = "[Java Runtime Environment]";
    const std::string plain = section + "\nJRE Path=/old\n";
    const std::string plainAfter = section + "\nJRE Path=/new\n";
    const std::string crlf = "\r\nMain Class = a.B\r\nJRE Path=/";
    const std::string crlfRest = "\r\n\r\n[Other]\r\nK=v\r\n";
    const std::u16string utf16 = u"[Java Runtime Environment]\r\nMain Class=a.B\r\n";
    const WriteBackCase cases[] = {
        {"Latin-1 bytes of another line stay", Setup::File, Writer::Owner,
         section + "\nName=Caf\xE9\nJRE Path=/old\n", section + "\nName=Caf\xE9\nJRE Path=/new\n"},
        {"CRLF, blanks and other sections stay", Setup::File, Writer::Owner, section + crlf + "old" + crlfRest,
         section + crlf + "new" + crlfRest},
        {"UTF-16 keeps its code units and an odd last byte", Setup::File, Writer::Owner,
         test::Utf16LeWithBom(utf16) + "\x7F", test::Utf16LeWithBom(utf16 + u"JRE Path=/new\r\n") + "\x7F"},
        {"a missing file is made", Setup::File, Writer::Owner, std::nullopt, plainAfter},
        {"a missing folder is not made", Setup::MissingFolder, Writer::Owner, std::nullopt, std::nullopt},
        {"an unreadable file stays", Setup::Unreadable, Writer::Owner, plain, plain},
        {"a read-only file stays", Setup::ReadOnly, Writer::Owner, plain, plain},
        {"a read-only file stays for root too", Setup::ReadOnly, Writer::Root, plain, plain},
        {"a linked file changes through the link", Setup::Linked, Writer::Owner, plain, plainAfter},
        {"root keeps the owner and mode", Setup::File, Writer::Root, plain, plainAfter},
    };
    for (const WriteBackCase& c : cases) {
        TempFolder folder;
        const fs::path name = fs::path(c.setup == Setup::MissingFolder ? "missing" : "") / "Shop.ini";
        const fs::path path = folder.Path() / name;
        const fs::path file = folder.Path() / (c.setup == Setup::Linked ? "linked" : "") / "Shop.ini";
        if (c.setup == Setup::Linked) {
            fs::create_directory(folder.Path() / "linked");
            fs::create_symlink(fs::path("linked") / "Shop.ini", path);
        }
        if (c.before) WriteBytes(file, *c.before);
        GiveToPlainUser(folder.Path(), file, c.setup);
        const auto ownership = Ownership(file);
        const auto entries = std::distance(fs::recursive_directory_iterator(folder.Path()), {});

        if (!RunAs(c.writer, folder.Path(), [&](const fs::path& base) {
                SettingsFile((base / name).u16string()).SetString(keys::kJavaRuntimeEnvironment, keys::kJrePath, u"/new");
            })) {
            continue;
        }

        EXPECT_EQ(fs::exists(file) ? std::optional(test::ReadBytes(file)) : std::nullopt, c.after) << c.rule;
        EXPECT_EQ(std::distance(fs::recursive_directory_iterator(folder.Path()), {}), entries + (c.after && !c.before))
            << c.rule << ": files left over";
        EXPECT_EQ(fs::is_symlink(path), c.setup == Setup::Linked) << c.rule;
        EXPECT_EQ(c.before ? Ownership(file) : ownership, ownership) << c.rule;
    }
}
#endif

struct LayeredCase { const char* rule; std::u16string embedded; std::optional<std::string> file;
    std::u16string expected; };

TEST(LayeredSettings, FileOverridesAndPlusSectionExtends)
{
    const std::u16string embeddedA = u"[Application]\r\nCmd=a\r\n";
    const LayeredCase cases[] = {
        {"the embedded value stands alone", embeddedA, std::nullopt, u"a"},
        {"the + section extends after a space", embeddedA, "[Application+]\r\nCmd=b\r\n", u"a b"},
        {"a file value replaces, the + section is not read", embeddedA,
         "[Application]\r\nCmd=c\r\n[Application+]\r\nCmd=b\r\n", u"c"},
        {"an empty file value lets the + section extend", embeddedA,
         "[Application]\r\nCmd=\r\n[Application+]\r\nCmd=-x\r\n", u"a -x"},
        {"without an embedded value the space still leads", u"", "[Application+]\r\nCmd=b\r\n", u" b"},
        {"an extension that begins with a space gets none added", embeddedA,
         "[Application+]\r\nCmd=\" b\"\r\n", u"a b"},
        {"embedded names match exactly", u"[application]\r\nCmd=a\r\n", std::nullopt, u""},
    };
    for (const LayeredCase& c : cases) {
        TempFolder folder;
        if (c.file) WriteBytes(folder.Path() / "Shop.ini", *c.file);
        LayeredSettings layered(folder.Child("Shop.ini"), c.embedded);
        EXPECT_EQ(layered.Get(u"Application", u"Cmd"), c.expected) << c.rule;
    }
}

// An application folder with a settings file and a per-user settings root.
class PerUserSettings : public testing::Test {
protected:
    void SetUp() override { for (const char* sub : {"app", "user"}) fs::create_directories(folder.Path() / sub); }

    void WriteSettings(const std::string& applicationType)
    {
        fs::remove_all(folder.Path() / "user" / "MyApp");
        WriteBytes(folder.Path() / "app" / "Shop.ini",
                   "[Product Information]\r\nProduct Name=My:App?\r\nProduct Code=1234\r\n"
                   "[Java Runtime Environment]\r\nMain Class=shop.Main\r\nJRE Path=C:\\jre\r\n"
                   "[Application]\r\nApplication Type=" + applicationType +
                       "\r\nPair Product=" + (folder.Path() / "Tool32.exe").string() + "\r\n");
    }

    fs::path UserFile(const std::string& baseName) const { return folder.Path() / "user" / "MyApp" / "1234" / baseName; }

    LauncherSettings Read()
    {
        LauncherSettings settings;
        EXPECT_TRUE(ReadSettingsFor(modulePath, settings));
        return settings;
    }

    TempFolder folder;
    std::u16string modulePath = folder.Child(fs::path("app") / "Shop.exe");
    test::ScopedEnvironmentVariable root{test::UserSettingsRootVariable(), folder.Child("user")};
};

TEST_F(PerUserSettings, JrePathComesFromTheUserCopyOnceItExists)
{
    struct Case { const char* rule; std::string applicationType; std::optional<std::string> userFile;
        std::u16string expected; };
    const Case cases[] = {
        {"no user copy: the settings file's value", "", std::nullopt, u"C:\\jre"},
        {"a user copy without the key empties it", "", "[Other]\r\nK=v\r\n", u""},
        {"a user copy with the key gives its value", "",
         "[Java Runtime Environment]\r\nJRE Path=D:\\picked\\\r\n", u"D:\\picked\\"},
        {"a service ignores the user copy", "service",
         "[Java Runtime Environment]\r\nJRE Path=D:\\picked\\\r\n", u"C:\\jre"},
    };
    for (const Case& c : cases) {
        WriteSettings(c.applicationType);
        if (c.userFile) {
            fs::create_directories(UserFile("").parent_path());
            WriteBytes(UserFile("Shop.ini"), *c.userFile);
        }
        EXPECT_EQ(Read().jrePath, c.expected) << c.rule;
    }
}

// The picked runtime is written to the user's copy of both products'
// settings, a service's beside the executables; the next start reads it.
TEST_F(PerUserSettings, WriteBackGoesWhereTheNextStartReadsIt)
{
    for (const std::string type : {"", "service"}) {
        WriteSettings(type);
        const LauncherSettings settings = Read();
        ASSERT_FALSE(fs::exists(folder.Path() / "user" / "MyApp")) << type;
        WriteBackJrePathFor(modulePath, settings, u"D:\\picked\\");
        const bool service = type == "service";
        const fs::path own = service ? folder.Path() / "app" / "Shop.ini" : UserFile("Shop.ini");
        const fs::path pair = service ? folder.Path() / "Tool32.ini" : UserFile("Tool32.ini");
        for (const fs::path& file : {own, pair}) {
            EXPECT_EQ(SettingsFile(file.u16string()).Get(keys::kJavaRuntimeEnvironment, keys::kJrePath), u"D:\\picked\\")
                << file;
        }
        EXPECT_EQ(fs::exists(folder.Path() / "user" / "MyApp"), !service) << type;
        EXPECT_EQ(Read().jrePath, u"D:\\picked\\") << type;
    }
}

} // namespace
} // namespace tala
