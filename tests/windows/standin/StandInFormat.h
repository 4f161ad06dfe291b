// The two files through which a windows test talks to the stand-in VM
// library (the test double that takes a Java runtime's jvm.dll place under
// Wine, where no Windows JVM can be installed): the scenario it plays, which
// the test writes beside it, and the record of what it was given, which it
// writes beside itself. Shared by the library and by the tests, so both
// sides spell and escape the same way.
//
// Record (standin-record.txt): one fact per line, UTF-8 (in fact ASCII),
// lines ended by "\n", appended as they happen. A line is a kind word and
// fields, each after one blank. A field is a bare word without blanks or
// quotes, or a text in double quotes. Inside quotes, printable ASCII stands
// for itself except \\ and \", a UTF-16 code unit outside printable ASCII is
// \uXXXX (so a surrogate pair is two of them) and a byte of a narrow text
// (VM options, class names) outside printable ASCII is \xHH.
//
//   call NAME thread=T [version=0xV java-stack-size=N]
//                              an exported or invocation-interface function
//                              was entered: JNI_GetDefaultJavaVMInitArgs,
//                              JNI_CreateJavaVM, AttachCurrentThread,
//                              DetachCurrentThread, DestroyJavaVM, main.
//                              T numbers the threads in order of appearance;
//                              0 is the thread that loaded the library
//   version 0xV                JavaVMInitArgs.version given to creation
//   ignore-unrecognized N      JavaVMInitArgs.ignoreUnrecognized
//   option "TEXT" none|extra-info
//                              one option, in order; extra-info when its
//                              extraInfo is not null (the "abort" and "exit"
//                              hooks)
//   env NAME "VALUE" | env NAME unset
//                              TALA_JVM_PATH, TALA_JVM_HOME and Path as the
//                              creating thread sees them
//   stack-reserve N            bytes reserved for the creating thread's stack
//   create-result N            what JNI_CreateJavaVM returned
//   boot-loader-class "NAME" found|none   JVM_FindClassFromBootLoader
//   find-class "NAME" found|none          FindClass
//   method "CLASS" "NAME" "SIGNATURE" static|instance found|none
//   check-and-load-main "NAME" B N        LauncherHelper.checkAndLoadMain
//   arguments N                main's String[] has N elements; one
//   argument "TEXT" | argument null       line each follows, in order
//   throws "CLASS"             main left this exception pending
//   call secondaryMain thread=T
//                              the application's secondaryMain was entered;
//                              "arguments" and "argument" lines follow as
//                              for main
//   print-stack-trace "CLASS"  printStackTrace of a thrown exception
//   exit-hook N                the "exit" hook is being called (System.exit);
//                              the process then ends with N
//   exception-describe "CLASS" | exception-describe none
//   pending-exception "FUNCTION"
//                              a JNI function that the JNI standard forbids
//                              while an exception is pending was called
//                              with one (it still ran)
//   unexpected "FUNCTION" thread=T
//                              a JNI or invocation function the stand-in
//                              does not plan for was called; the process
//                              ends at once with kStandInFailureExitCode
//   failure "WHAT" thread=T    a call broke the JNI rules (a stale or
//                              foreign reference, a wrong call form, a
//                              thread not attached...) or the scenario file
//                              is wrong; the process ends at once with
//                              kStandInFailureExitCode
//
// Scenario (standin-scenario.txt): "key=value" lines; blank lines and lines
// starting with "#" are skipped; a missing file or key gives the default.
//
//   create-result=N            JNI_CreateJavaVM's result (default 0)
//   default-java-stack-size=N  the javaStackSize that
//                              JNI_GetDefaultJavaVMInitArgs fills in
//                              (default 1048576)
//   main-class=NAME            the one application class the VM can load,
//                              with "/" (default none)
//   main=return|throw|exit|absent|absent-with-exception|wait
//                              what main does: return; leave an exception
//                              pending; call System.exit (the "exit" hook,
//                              then the process ends); the class has no
//                              main (GetStaticMethodID gives none, with or
//                              without a pending exception); or return once
//                              a file standin-release lies beside the
//                              library (60 s at most), letting other threads
//                              call into the VM meanwhile (default return)
//   secondary-main=absent|void|int
//                              the application class's static
//                              secondaryMain(String[]), if any, and what it
//                              returns (default absent)
//   secondary-result=N         what the int secondaryMain returns (default 0)
//   printable-traces=yes|no    whether the runtime has
//                              java/io/ByteArrayOutputStream and
//                              java/io/PrintStream, with which a thrown
//                              exception prints its stack trace (default yes)
//   exit-status=N              the status of main=exit (default 0)
//   launcher-helper=present|absent
//                              whether the boot loader knows
//                              sun/launcher/LauncherHelper (default present)
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tala::test::standin {

inline constexpr wchar_t kRecordFileName[] = L"standin-record.txt";
inline constexpr wchar_t kScenarioFileName[] = L"standin-scenario.txt";
inline constexpr wchar_t kReleaseFileName[] = L"standin-release";

// The exit code of a process in which the stand-in caught a call it did not
// plan for, or a broken rule: no launcher path ends with it.
inline constexpr std::uint32_t kStandInFailureExitCode = 0x0BADC0DE;

namespace detail {

inline bool IsPlain(unsigned value)
{
    return value >= 0x20 && value <= 0x7E && value != '\\' && value != '"';
}

inline void AppendHex(std::string& out, unsigned value, int digits)
{
    constexpr char kDigits[] = "0123456789ABCDEF";
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) out += kDigits[(value >> shift) & 0xF];
}

inline void AppendPlainOrEscaped(std::string& out, unsigned value, const char* prefix, int digits)
{
    if (IsPlain(value)) {
        out += static_cast<char>(value);
    } else if (value == '\\' || value == '"') {
        out += '\\';
        out += static_cast<char>(value);
    } else {
        out += prefix;
        AppendHex(out, value, digits);
    }
}

} // namespace detail

// A UTF-16 text as a quoted record field.
inline std::string Quote(std::u16string_view text)
{
    std::string out = "\"";
    for (const char16_t unit : text) detail::AppendPlainOrEscaped(out, unit, "\\u", 4);
    return out + "\"";
}

// A narrow text (bytes) as a quoted record field.
inline std::string QuoteBytes(std::string_view bytes)
{
    std::string out = "\"";
    for (const char byte : bytes) {
        detail::AppendPlainOrEscaped(out, static_cast<unsigned char>(byte), "\\x", 2);
    }
    return out + "\"";
}

// One record line split into its kind and fields; quoted fields are
// unescaped into UTF-16 code units (a \xHH byte becomes the unit 0x00HH).
struct RecordLine {
    std::string kind;
    std::vector<std::u16string> fields;
    bool wellFormed = true;
};

inline RecordLine ParseRecordLine(std::string_view line)
{
    RecordLine parsed;
    std::size_t at = line.find(' ');
    parsed.kind = std::string(line.substr(0, at));
    while (at != std::string_view::npos && at < line.size()) {
        ++at; // the blank before the field
        std::u16string field;
        if (at < line.size() && line[at] == '"') {
            ++at;
            bool closed = false;
            while (at < line.size()) {
                const char c = line[at++];
                if (c == '"') {
                    closed = true;
                    break;
                }
                if (c != '\\') {
                    field += static_cast<char16_t>(static_cast<unsigned char>(c));
                    continue;
                }
                if (at >= line.size()) break;
                const char kind = line[at++];
                const int digits = kind == 'u' ? 4 : kind == 'x' ? 2 : 0;
                if (digits == 0) {
                    field += static_cast<char16_t>(static_cast<unsigned char>(kind));
                    continue;
                }
                if (at + static_cast<std::size_t>(digits) > line.size()) break;
                const std::string hex(line.substr(at, static_cast<std::size_t>(digits)));
                field += static_cast<char16_t>(std::stoul(hex, nullptr, 16));
                at += static_cast<std::size_t>(digits);
            }
            if (!closed) parsed.wellFormed = false;
            if (at < line.size() && line[at] != ' ') parsed.wellFormed = false;
            parsed.fields.push_back(std::move(field));
            if (at >= line.size()) break;
            continue;
        }
        const std::size_t end = line.find(' ', at);
        const std::string_view word = line.substr(at, end == std::string_view::npos ? end : end - at);
        for (const char c : word) field += static_cast<char16_t>(static_cast<unsigned char>(c));
        parsed.fields.push_back(std::move(field));
        at = end;
    }
    return parsed;
}

} // namespace tala::test::standin
