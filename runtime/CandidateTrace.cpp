#include "runtime/CandidateTrace.h"

#include "launcher/Trace.h"
#include "runtime/VmLibraryProbe.h"

namespace tala {
namespace {

const char* VerdictText(Verdict verdict)
{
    switch (verdict) {
    case Verdict::Taken: return "taken";
    case Verdict::NoHome: return "refused: no home folder";
    case Verdict::MissingLibrary: return "refused: missing library";
    case Verdict::VmType: return "refused: VM type";
    case Verdict::ReachedBefore: return "skipped: reached before";
    case Verdict::NoVersion: return "refused: no JAVA_VERSION in release";
    case Verdict::VersionBound: return "refused: version bound";
    case Verdict::Kind: return "refused: kind";
    case Verdict::Provider: return "refused: provider";
    case Verdict::Bits32: return "refused: 32-bit";
    case Verdict::Bits64: return "refused: 64-bit (32-bit pass)";
    case Verdict::RankedLower: return "passed over: ranked lower";
    case Verdict::NotPreferred: return "passed over: not preferred";
    }
    return "";
}

const char* ProviderText(RuntimeProvider provider)
{
    switch (provider) {
    case RuntimeProvider::Sun: return "provider=Sun";
    case RuntimeProvider::JRockit: return "provider=JRockit";
    case RuntimeProvider::Ibm: return "provider=IBM";
    }
    return "";
}

} // namespace

void TraceCandidate(const JavaRuntime& runtime, Verdict verdict)
{
    if (!trace::Enabled()) return;
    const std::u16string home = runtime.homeFolder.empty() ? u"?" : runtime.homeFolder;
    const std::u16string library = runtime.vmLibrary.empty() ? u"?" : runtime.vmLibrary;
    trace::Note("runtime", u"candidate", runtime.source, u"home=" + home,
                u"version=" + (runtime.version.partCount == 0 ? u"?" : runtime.version.ToDisplayString()),
                runtime.kind == RuntimeKind::Jdk ? "kind=JDK" : "kind=JRE", ProviderText(runtime.provider),
                u"library=" + library, "->", VerdictText(verdict));
}

Verdict MissingLibraryVerdict(const std::u16string& home, JvmType type, const RuntimeMachine& machine,
                              os::PathStyle style)
{
    if (type == JvmType::Server && FindVmLibrary(home, JvmType::NoPreference, machine, style)) {
        return Verdict::VmType;
    }
    return Verdict::MissingLibrary;
}

} // namespace tala
