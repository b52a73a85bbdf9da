// What Tabvisor.exe tells Windows and Explorer about itself, read from the built file of this
// build (x86 or x64): its manifest, as the system reads it when it makes the program's activation
// context, and its version information, whose version is the build's one version number.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <iterator>
#include <string>
#include <vector>

#include "ProgramFile.h"
#include "ProgramUnderTest.h"

namespace {

std::wstring Program() { return BuildFolder() + L"\\Tabvisor.exe"; }

// The activation context the system makes from the program's manifest (resource 1).
class ManifestContext {
public:
    ManifestContext()
    {
        const std::wstring program = Program();
        ACTCTXW request{};
        request.cbSize = sizeof(request);
        request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
        request.lpSource = program.c_str();
        request.lpResourceName = CREATEPROCESS_MANIFEST_RESOURCE_ID;
        m_context = ::CreateActCtxW(&request);
    }
    ~ManifestContext()
    {
        if (m_context != INVALID_HANDLE_VALUE)
            ::ReleaseActCtx(m_context);
    }
    ManifestContext(const ManifestContext&) = delete;
    ManifestContext& operator=(const ManifestContext&) = delete;

    bool Made() const { return m_context != INVALID_HANDLE_VALUE; }
    std::vector<BYTE> Query(ULONG what) const
    {
        std::vector<BYTE> answer(4096);
        SIZE_T size = 0;
        if (!::QueryActCtxW(0, m_context, nullptr, what, answer.data(), answer.size(), &size))
            answer.clear();
        return answer;
    }

    // A windowsSettings value, as the system reads it to set the program's DPI awareness.
    std::wstring Setting(const wchar_t* nameSpace, const wchar_t* name) const
    {
        wchar_t value[256] = {};
        SIZE_T written = 0;
        if (!::QueryActCtxSettingsW(0, m_context, nameSpace, name, value, std::size(value), &written))
            return L"(none)";
        return value;
    }

private:
    HANDLE m_context = INVALID_HANDLE_VALUE;
};

TEST(ProgramFile, ItsManifestNamesWindows7To11AndAsksToRunAsInvoked)
{
    const ManifestContext context;
    ASSERT_TRUE(context.Made()) << "no manifest the system can read, error " << ::GetLastError();

    const std::vector<BYTE> level = context.Query(RunlevelInformationInActivationContext);
    ASSERT_GE(level.size(), sizeof(ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION));
    const auto* runLevel = reinterpret_cast<const ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION*>(level.data());
    EXPECT_EQ(runLevel->RunLevel, ACTCTX_RUN_LEVEL_AS_INVOKER);
    EXPECT_EQ(runLevel->UiAccess, 0u);

    // Windows 7, 8, 8.1, and 10 and 11 (one identifier), in that order and nothing else.
    // The answer as Windows 10 and Wine lay it out (the headers here still have Windows 7's
    // elements, without the tested version).
    struct Element {
        GUID id;
        DWORD type;
        ULONGLONG maxVersionTested;
    };
    struct Answer {
        DWORD count;
        Element elements[16];
    };
    const std::vector<BYTE> compatibility = context.Query(CompatibilityInformationInActivationContext);
    ASSERT_GE(compatibility.size(), sizeof(Answer));
    const auto* answer = reinterpret_cast<const Answer*>(compatibility.data());
    std::vector<GUID> supported;
    for (DWORD i = 0; i < answer->count && i < 16; ++i)
        if (answer->elements[i].type == ACTCTX_COMPATIBILITY_ELEMENT_TYPE_OS)
            supported.push_back(answer->elements[i].id);
    const std::vector<GUID> expected{
        {0x35138b9a, 0x5d96, 0x4fbd, {0x8e, 0x2d, 0xa2, 0x44, 0x02, 0x25, 0xf9, 0x3a}},
        {0x4a2f28e3, 0x53b9, 0x4441, {0xba, 0x9c, 0xd6, 0x9d, 0x4a, 0x4a, 0x6e, 0x38}},
        {0x1f676c76, 0x80e1, 0x4239, {0x95, 0xbb, 0x83, 0xd0, 0xf6, 0xd0, 0xda, 0x78}},
        {0x8e0f7a12, 0xbfb3, 0x4fe8, {0xb9, 0xa5, 0x48, 0xfd, 0x50, 0xa1, 0x5a, 0x9a}}};
    EXPECT_TRUE(supported == expected) << supported.size() << " supported systems";
}

// Per-monitor (v2) aware where Windows has it (Windows 10 1703), system aware where it reads only
// dpiAware (Windows 7 to Windows 10 1511) and on Windows 10 1607, which skips the name it does not
// know and takes the next.
TEST(ProgramFile, ItsManifestDeclaresPerMonitorAwarenessAndSystemAwarenessBeforeIt)
{
    const ManifestContext context;
    ASSERT_TRUE(context.Made());
    EXPECT_EQ(context.Setting(L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware"), L"true");
    EXPECT_EQ(context.Setting(L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"dpiAwareness"),
              L"PerMonitorV2, System");
}

TEST(ProgramFile, ItsVersionIsTheBuildsAndNamesTheProductAndItsMaker)
{
    EXPECT_EQ(VersionString(Program(), L"ProductName"), L"Tabvisor");
    EXPECT_EQ(VersionString(Program(), L"CompanyName"), L"Quorvanta");
    EXPECT_EQ(VersionString(Program(), L"FileDescription"), L"Tabvisor tablet key panel");
    EXPECT_EQ(VersionString(Program(), L"OriginalFilename"), L"Tabvisor.exe");
    EXPECT_EQ(VersionString(Program(), L"FileVersion"), TABVISOR_VERSION_TEXT);
    EXPECT_EQ(VersionString(Program(), L"ProductVersion"), TABVISOR_VERSION_TEXT);
    const std::optional<FixedVersions> fixed = FixedVersionsOf(Program());
    ASSERT_TRUE(fixed.has_value());
    const std::array<WORD, 4> build{TABVISOR_VERSION_PARTS};
    EXPECT_EQ(fixed->file, build);
    EXPECT_EQ(fixed->product, build);
}

} // namespace
