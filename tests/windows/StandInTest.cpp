// The stand-in VM library on its own, loaded into the test process and
// driven the way a launcher drives a runtime: its exports per variant, what
// it records, the scenarios it plays, and the rule breaches it catches. The
// end-to-end tests trust it for all of that.
#include "os/windows/UniqueHandle.h"
#include "tests/shared/TestFiles.h"
#include "tests/windows/StandInRecord.h"
#include "tests/windows/standin/Jdk11InitArgs.h"

#include <gtest/gtest.h>

#include <jni.h>

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace tala::test {
namespace {

namespace fs = std::filesystem;

using CreateJavaVmFunction = jint(JNICALL*)(JavaVM**, void**, void*);
using GetDefaultInitArgsFunction = jint(JNICALL*)(void*);
using FindClassFromBootLoaderFunction = jclass(JNICALL*)(JNIEnv*, const char*);

void JNICALL ExitHook(jint) {}
void JNICALL AbortHook() {}

// A variant copied into a runtime folder of its own, with a scenario, and
// loaded: each copy is a module of its own with fresh state.
class LoadedStandIn {
public:
    LoadedStandIn(const wchar_t* variant, const std::string& scenario, const fs::path& folder)
        : vmLibrary_(folder / "jre" / "bin" / "server" / "jvm.dll")
    {
        InstallStandIn(variant, vmLibrary_);
        WriteScenario(vmLibrary_, scenario);
        module_.reset(::LoadLibraryW(vmLibrary_.c_str()));
    }

    HMODULE Module() const { return module_.get(); }

    template <typename Function>
    Function Export(const char* name) const
    {
        // Through void*: each export has a type of its own, unlike FARPROC.
        return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module_.get(), name)));
    }

    StandInRecord Record() const { return StandInRecord::Beside(vmLibrary_); }

private:
    fs::path vmLibrary_;
    os::UniqueModule module_;
};

// A VM created the way the launcher creates one.
struct CreatedVm {
    JavaVM* vm = nullptr;
    JNIEnv* env = nullptr;
    jint result = JNI_ERR;
};

CreatedVm Create(const LoadedStandIn& library, std::vector<std::string> options)
{
    std::vector<JavaVMOption> records;
    for (std::string& option : options) records.push_back({option.data(), nullptr});
    records.push_back({const_cast<char*>("abort"), reinterpret_cast<void*>(&AbortHook)});
    records.push_back({const_cast<char*>("exit"), reinterpret_cast<void*>(&ExitHook)});
    JavaVMInitArgs arguments{};
    arguments.version = JNI_VERSION_1_2;
    arguments.nOptions = static_cast<jint>(records.size());
    arguments.options = records.data();
    arguments.ignoreUnrecognized = JNI_FALSE;
    CreatedVm created;
    void* env = nullptr;
    const auto create = library.Export<CreateJavaVmFunction>("JNI_CreateJavaVM");
    if (create == nullptr) return created;
    created.result = create(&created.vm, &env, &arguments);
    created.env = static_cast<JNIEnv*>(env);
    return created;
}

jstring NewJavaString(JNIEnv* env, std::u16string_view text)
{
    const jclass stringClass = env->FindClass("java/lang/String");
    const jmethodID fromChars = env->GetMethodID(stringClass, "<init>", "([C)V");
    const auto length = static_cast<jsize>(text.size());
    const jcharArray chars = env->NewCharArray(length);
    env->SetCharArrayRegion(chars, 0, length, reinterpret_cast<const jchar*>(text.data()));
    const auto string = static_cast<jstring>(env->NewObject(stringClass, fromChars, chars));
    env->DeleteLocalRef(chars);
    return string;
}

jobjectArray NewStringArray(JNIEnv* env, const std::vector<std::u16string>& texts)
{
    const jobjectArray array =
        env->NewObjectArray(static_cast<jsize>(texts.size()), env->FindClass("java/lang/String"), nullptr);
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const jstring text = NewJavaString(env, texts[i]);
        env->SetObjectArrayElement(array, static_cast<jsize>(i), text);
        env->DeleteLocalRef(text);
    }
    return array;
}

std::string Dump(const StandInRecord& record)
{
    return "\nrecord:\n" + record.Text();
}

TEST(StandInVm, EachVariantLacksExactlyItsExport)
{
    struct Case {
        const wchar_t* variant;
        bool create, defaultArgs, bootLoader;
    };
    const Case cases[] = {
        {kStandInVm, true, true, true},
        {kStandInVmWithoutBootLoader, true, true, false},
        {kStandInVmWithoutCreate, false, true, true},
        {kStandInVmWithoutDefaultArgs, true, false, true},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        const LoadedStandIn library(c.variant, "", folder.Path());
        ASSERT_NE(library.Module(), nullptr) << "error " << ::GetLastError();
        EXPECT_EQ(library.Export<FARPROC>("JNI_CreateJavaVM") != nullptr, c.create) << fs::path(c.variant);
        EXPECT_EQ(library.Export<FARPROC>("JNI_GetDefaultJavaVMInitArgs") != nullptr, c.defaultArgs)
            << fs::path(c.variant);
        EXPECT_EQ(library.Export<FARPROC>("JVM_FindClassFromBootLoader") != nullptr, c.bootLoader)
            << fs::path(c.variant);
    }
}

TEST(StandInVm, DefaultInitArgsGiveTheScenariosStackSizeAndRefuseTheOldRecord)
{
    TempFolder folder;
    const LoadedStandIn library(kStandInVm, "default-java-stack-size=6291456\n", folder.Path());
    standin::Jdk11InitArgs arguments{};
    arguments.version = JNI_VERSION_1_1;
    const auto getDefaults = library.Export<GetDefaultInitArgsFunction>("JNI_GetDefaultJavaVMInitArgs");
    ASSERT_NE(getDefaults, nullptr);
    EXPECT_EQ(getDefaults(&arguments), JNI_ERR);
    EXPECT_EQ(arguments.javaStackSize, 6291456);
    const StandInRecord record = library.Record();
    EXPECT_EQ(record.Calls(), std::vector<std::string>{"JNI_GetDefaultJavaVMInitArgs"}) << Dump(record);
    ASSERT_EQ(record.All("call").size(), 1u);
    EXPECT_EQ(record.All("call")[0].fields.at(2), u"version=0x10001");
    EXPECT_EQ(record.ThreadOf("JNI_GetDefaultJavaVMInitArgs"), 0) << "the loading thread is 0";
}

TEST(StandInVm, CreationRecordsArgumentsOptionsEnvironmentAndStack)
{
    TempFolder folder;
    const LoadedStandIn library(kStandInVm, "", folder.Path());
    const ScopedEnvironmentVariable jvmPath(u"TALA_JVM_PATH", u"C:\\jre\\bin\\server\\jvm.dll");
    const ScopedEnvironmentVariable jvmHome(u"TALA_JVM_HOME", std::nullopt);
    const std::string ansi = "-Dname=a b\"\\\xE9";
    const CreatedVm created = Create(library, {"-Djava.class.path=C:\\x.jar;", ansi});
    ASSERT_EQ(created.result, JNI_OK);
    ASSERT_NE(created.vm, nullptr);
    ASSERT_NE(created.env, nullptr);

    const StandInRecord record = library.Record();
    EXPECT_EQ(record.Calls(), std::vector<std::string>{"JNI_CreateJavaVM"}) << Dump(record);
    EXPECT_EQ(record.Number("version"), 0x10002);
    EXPECT_EQ(record.Number("ignore-unrecognized"), 0);
    const std::vector<std::pair<std::u16string, bool>> expected = {
        {u"-Djava.class.path=C:\\x.jar;", false}, {u"-Dname=a b\"\\\u00E9", false}, {u"abort", true}, {u"exit", true}};
    EXPECT_EQ(record.Options(), expected) << Dump(record);
    EXPECT_EQ(record.Environment(u"TALA_JVM_PATH"), u"C:\\jre\\bin\\server\\jvm.dll");
    EXPECT_EQ(record.Environment(u"TALA_JVM_HOME"), std::nullopt);
    EXPECT_TRUE(record.Environment(u"Path").has_value());
    EXPECT_GE(record.Number("stack-reserve").value_or(0), 1 << 20) << Dump(record);
    EXPECT_EQ(record.Number("create-result"), 0);
    EXPECT_TRUE(record.Complaints().empty()) << Dump(record);
}

TEST(StandInVm, RecordsTheStackReservationOfTheCreatingThread)
{
    TempFolder folder;
    const LoadedStandIn library(kStandInVm, "", folder.Path());
    struct Work {
        const LoadedStandIn* library;
        jint result;
    } work{&library, JNI_ERR};
    constexpr DWORD kStack = 5 * 1024 * 1024;
    const os::UniqueHandle thread(::CreateThread(
        nullptr, kStack,
        [](void* argument) -> DWORD {
            auto* w = static_cast<Work*>(argument);
            w->result = Create(*w->library, {}).result;
            return 0;
        },
        &work, 0, nullptr));
    ASSERT_NE(thread.get(), nullptr);
    ASSERT_EQ(::WaitForSingleObject(thread.get(), 10000), WAIT_OBJECT_0);
    ASSERT_EQ(work.result, JNI_OK);
    const StandInRecord record = library.Record();
    EXPECT_EQ(record.ThreadOf("JNI_CreateJavaVM"), 1) << Dump(record);
    EXPECT_GE(record.Number("stack-reserve").value_or(0), kStack) << Dump(record);
}

TEST(StandInVm, CreationFailsWithTheScenariosResultAndLeavesTheHandle)
{
    for (const jint code : {-1, -2, -3, -4, -5, -6, -99}) {
        TempFolder folder;
        const LoadedStandIn library(kStandInVm, "create-result=" + std::to_string(code) + "\n", folder.Path());
        const CreatedVm created = Create(library, {});
        EXPECT_EQ(created.result, code);
        EXPECT_EQ(created.vm, nullptr);
        EXPECT_EQ(library.Record().Number("create-result"), code);
    }
}

// The whole road of a start through the runtime's launcher helper, with
// arguments that a lossy conversion would change.
TEST(StandInVm, RunsMainWithTheExactArguments)
{
    TempFolder folder;
    const LoadedStandIn library(kStandInVm, "main-class=shop/App\nmain=return\n", folder.Path());
    const CreatedVm created = Create(library, {});
    ASSERT_EQ(created.result, JNI_OK);
    JNIEnv* env = created.env;

    const auto findBoot = library.Export<FindClassFromBootLoaderFunction>("JVM_FindClassFromBootLoader");
    const jclass helper = findBoot(env, "sun/launcher/LauncherHelper");
    ASSERT_NE(helper, nullptr);
    const jmethodID checkAndLoadMain =
        env->GetStaticMethodID(helper, "checkAndLoadMain", "(ZILjava/lang/String;)Ljava/lang/Class;");
    ASSERT_NE(checkAndLoadMain, nullptr);
    const auto mainClass = static_cast<jclass>(
        env->CallStaticObjectMethod(helper, checkAndLoadMain, JNI_TRUE, jint{1}, NewJavaString(env, u"shop.App")));
    ASSERT_NE(mainClass, nullptr);
    const jmethodID main = env->GetStaticMethodID(mainClass, "main", "([Ljava/lang/String;)V");
    ASSERT_NE(main, nullptr);
    const std::vector<std::u16string> arguments = {
        u"one", u"two words", u"", u"Gr\u00FC\u00DFe", u"\U0001F600", u"x\"y", u"back\\slash", u"tab\there"};
    env->CallStaticVoidMethod(mainClass, main, NewStringArray(env, arguments));
    EXPECT_EQ(env->ExceptionOccurred(), nullptr);
    EXPECT_EQ(created.vm->DetachCurrentThread(), JNI_OK);
    EXPECT_EQ(created.vm->DestroyJavaVM(), JNI_OK);

    const StandInRecord record = library.Record();
    EXPECT_EQ(record.Calls(),
              (std::vector<std::string>{"JNI_CreateJavaVM", "main", "DetachCurrentThread", "DestroyJavaVM"}))
        << Dump(record);
    EXPECT_EQ(record.Firsts("check-and-load-main"), std::vector<std::u16string>{u"shop.App"});
    EXPECT_EQ(record.Arguments(), arguments) << Dump(record);
    EXPECT_TRUE(record.Complaints().empty()) << Dump(record);
}

TEST(StandInVm, StringsComeBackAsModifiedUtf8)
{
    TempFolder folder;
    const LoadedStandIn library(kStandInVm, "", folder.Path());
    const CreatedVm created = Create(library, {});
    ASSERT_EQ(created.result, JNI_OK);
    JNIEnv* env = created.env;
    const jstring text = NewJavaString(env, std::u16string(u"a\u00E9\U0001F600") + u'\0');
    const char* utf = env->GetStringUTFChars(text, nullptr);
    ASSERT_NE(utf, nullptr);
    EXPECT_STREQ(utf, "a\xC3\xA9\xED\xA0\xBD\xED\xB8\x80\xC0\x80");
    env->ReleaseStringUTFChars(text, utf);
}

TEST(StandInVm, MissingClassesLeaveAnExceptionThatDescribeClears)
{
    TempFolder folder;
    const LoadedStandIn library(kStandInVm, "main-class=shop/App\nlauncher-helper=absent\n", folder.Path());
    const CreatedVm created = Create(library, {});
    ASSERT_EQ(created.result, JNI_OK);
    JNIEnv* env = created.env;
    const auto findBoot = library.Export<FindClassFromBootLoaderFunction>("JVM_FindClassFromBootLoader");
    EXPECT_EQ(findBoot(env, "sun/launcher/LauncherHelper"), nullptr);
    EXPECT_EQ(env->ExceptionOccurred(), nullptr) << "the boot loader lookup throws nothing";
    EXPECT_EQ(env->FindClass("shop.App"), nullptr) << "class names take slashes";
    EXPECT_NE(env->ExceptionOccurred(), nullptr);
    env->ExceptionDescribe();
    EXPECT_EQ(env->ExceptionOccurred(), nullptr);
    EXPECT_NE(env->FindClass("shop/App"), nullptr);

    const StandInRecord record = library.Record();
    EXPECT_EQ(record.Firsts("exception-describe"), std::vector<std::u16string>{u"java/lang/NoClassDefFoundError"});
    EXPECT_EQ(record.Firsts("find-class"), (std::vector<std::u16string>{u"shop.App", u"shop/App"}));
    EXPECT_TRUE(record.Complaints().empty()) << Dump(record);
}

TEST(StandInVm, MainAbsentWithOrWithoutAnException)
{
    for (const bool withException : {false, true}) {
        TempFolder folder;
        const LoadedStandIn library(
            kStandInVm, std::string("main-class=shop/App\nmain=") + (withException ? "absent-with-exception" : "absent"),
            folder.Path());
        const CreatedVm created = Create(library, {});
        ASSERT_EQ(created.result, JNI_OK);
        JNIEnv* env = created.env;
        const jclass mainClass = env->FindClass("shop/App");
        EXPECT_EQ(env->GetStaticMethodID(mainClass, "main", "([Ljava/lang/String;)V"), nullptr);
        EXPECT_EQ(env->ExceptionOccurred() != nullptr, withException);
    }
}

TEST(StandInVm, MainThrowsAndCallsWhileAnExceptionIsPendingAreRecorded)
{
    TempFolder folder;
    const LoadedStandIn library(kStandInVm, "main-class=shop/App\nmain=throw\n", folder.Path());
    const CreatedVm created = Create(library, {});
    ASSERT_EQ(created.result, JNI_OK);
    JNIEnv* env = created.env;
    const jclass mainClass = env->FindClass("shop/App");
    const jmethodID main = env->GetStaticMethodID(mainClass, "main", "([Ljava/lang/String;)V");
    env->CallStaticVoidMethod(mainClass, main, NewStringArray(env, {}));
    EXPECT_NE(env->ExceptionOccurred(), nullptr);
    env->FindClass("java/lang/String"); // not allowed with an exception pending
    const StandInRecord record = library.Record();
    EXPECT_EQ(record.Firsts("throws"), std::vector<std::u16string>{u"java/lang/IllegalStateException"});
    EXPECT_EQ(record.Arguments(), std::vector<std::u16string>{});
    EXPECT_EQ(record.Firsts("pending-exception"), std::vector<std::u16string>{u"FindClass"});
}

// The stand-in ends the process where a real runtime would, or where the
// launcher broke a rule; each case runs in a child process of its own, in a
// folder both processes know, so the parent can read the record.
class StandInEndsTheProcess : public testing::Test {
protected:
    void SetUp() override
    {
        const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
        folder_ = fs::temp_directory_path() / (std::string("tala-standin-") + test->name());
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
        fs::create_directories(folder_);
    }

    void TearDown() override
    {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }

    StandInRecord Record() const { return StandInRecord::Beside(folder_ / "jre" / "bin" / "server" / "jvm.dll"); }

    fs::path folder_;
};

TEST_F(StandInEndsTheProcess, SystemExitCallsTheExitHookThenEndsWithTheStatus)
{
    EXPECT_EXIT(
        {
            const LoadedStandIn library(kStandInVm, "main-class=shop/App\nmain=exit\nexit-status=7\n", folder_);
            JNIEnv* env = Create(library, {}).env;
            const jclass mainClass = env->FindClass("shop/App");
            env->CallStaticVoidMethod(mainClass, env->GetStaticMethodID(mainClass, "main", "([Ljava/lang/String;)V"),
                                      NewStringArray(env, {u"a"}));
        },
        testing::ExitedWithCode(7), "");
    const StandInRecord record = Record();
    EXPECT_EQ(record.Number("exit-hook"), 7) << Dump(record);
    EXPECT_EQ(record.Calls(), (std::vector<std::string>{"JNI_CreateJavaVM", "main"}));
}

TEST_F(StandInEndsTheProcess, OnAJniFunctionItDoesNotPlanFor)
{
    EXPECT_EXIT(
        {
            const LoadedStandIn library(kStandInVm, "", folder_);
            Create(library, {}).env->ExceptionCheck();
        },
        testing::ExitedWithCode(static_cast<int>(standin::kStandInFailureExitCode)), "");
    const StandInRecord record = Record();
    EXPECT_EQ(record.Firsts("unexpected"), std::vector<std::u16string>{u"ExceptionCheck"}) << Dump(record);
}

TEST_F(StandInEndsTheProcess, OnAReferenceUsedAfterDeleteLocalRef)
{
    EXPECT_EXIT(
        {
            const LoadedStandIn library(kStandInVm, "", folder_);
            JNIEnv* env = Create(library, {}).env;
            const jcharArray chars = env->NewCharArray(1);
            env->DeleteLocalRef(chars);
            const jchar unit = u'x';
            env->SetCharArrayRegion(chars, 0, 1, &unit);
        },
        testing::ExitedWithCode(static_cast<int>(standin::kStandInFailureExitCode)), "");
    EXPECT_EQ(Record().All("failure").size(), 1u) << Dump(Record());
}

TEST_F(StandInEndsTheProcess, OnAScenarioLineItCannotRead)
{
    EXPECT_EXIT(
        {
            const LoadedStandIn library(kStandInVm, "main=sometimes\n", folder_);
            Create(library, {});
        },
        testing::ExitedWithCode(static_cast<int>(standin::kStandInFailureExitCode)), "");
    EXPECT_EQ(Record().Firsts("failure"), std::vector<std::u16string>{u"scenario line not understood: main=sometimes"});
}

} // namespace
} // namespace tala::test
