// The session's instance record: claiming it, asking its holder to show the panel, and telling
// a Tabvisor of this user from something else that took the name first.
#include "SingleInstance.h"

#include <sddl.h>

#include <atomic>
#include <memory>
#include <string>

#include "PanelMessages.h"

namespace {

// The second start ends within a second: it waits this long at most for the first one's panel,
// which the first publishes once it has hidden itself after start-up.
constexpr ULONGLONG kWaitForPanelMs = 800;
constexpr DWORD kPollMs = 20;
constexpr int kLooks = 5;

uint32_t Load(const uint32_t& field)
{
    return std::atomic_ref<uint32_t>(const_cast<uint32_t&>(field)).load(std::memory_order_acquire);
}

void Store(uint32_t& field, uint32_t value) { std::atomic_ref<uint32_t>(field).store(value, std::memory_order_release); }

// The token's user and integrity level (its mandatory label's last sub-authority).
struct TokenIdentity {
    std::unique_ptr<BYTE[]> user;  // TOKEN_USER
    DWORD integrity = 0;
    PSID Sid() const { return reinterpret_cast<const TOKEN_USER*>(user.get())->User.Sid; }
};

std::unique_ptr<BYTE[]> TokenInformation(HANDLE token, TOKEN_INFORMATION_CLASS kind)
{
    DWORD size = 0;
    ::GetTokenInformation(token, kind, nullptr, 0, &size);
    if (size == 0)
        return nullptr;
    auto buffer = std::make_unique<BYTE[]>(size);
    return ::GetTokenInformation(token, kind, buffer.get(), size, &size) ? std::move(buffer) : nullptr;
}

bool ReadIdentity(HANDLE process, TokenIdentity& identity)
{
    afx::unique_handle token;
    if (!::OpenProcessToken(process, TOKEN_QUERY, token.put()))
        return false;
    identity.user = TokenInformation(token.get(), TokenUser);
    const std::unique_ptr<BYTE[]> label = TokenInformation(token.get(), TokenIntegrityLevel);
    if (!identity.user || !label)
        return false;
    const PSID labelSid = reinterpret_cast<const TOKEN_MANDATORY_LABEL*>(label.get())->Label.Sid;
    const UCHAR count = *::GetSidSubAuthorityCount(labelSid);
    identity.integrity = count > 0 ? *::GetSidSubAuthority(labelSid, count - 1u) : 0;
    return true;
}

const wchar_t* FileName(const wchar_t* path)
{
    const wchar_t* name = path;
    for (const wchar_t* at = path; *at != L'\0'; ++at)
        if (*at == L'\\' || *at == L'/')
            name = at + 1;
    return name;
}

bool Running(HANDLE process)
{
    DWORD exitCode = 0;
    return ::GetExitCodeProcess(process, &exitCode) && exitCode == STILL_ACTIVE;
}

// Whether a live process runs an executable of this one's name, as this user, at no lower
// integrity level. A process whose token this one may not read counts, since only a higher level
// hides it from the same user; a process of another user cannot be opened at all.
bool IsTabvisorOfThisUser(HANDLE process)
{
    wchar_t theirs[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    wchar_t ours[MAX_PATH] = {};
    if (!::QueryFullProcessImageNameW(process, 0, theirs, &size) || ::GetModuleFileNameW(nullptr, ours, MAX_PATH) == 0 ||
        ::CompareStringOrdinal(FileName(theirs), -1, FileName(ours), -1, TRUE) != CSTR_EQUAL)
        return false;
    TokenIdentity mine;
    TokenIdentity holder;
    if (!ReadIdentity(::GetCurrentProcess(), mine))
        return false;
    if (!ReadIdentity(process, holder))
        return true;
    return ::EqualSid(mine.Sid(), holder.Sid()) && holder.integrity >= mine.integrity;
}

// Full access for this user; SYSTEM and elevated administrators may read the record, so a setup
// run with another administrator's credentials still finds the program it must close.
afx::unique_hlocal RecordSecurity()
{
    TokenIdentity mine;
    wchar_t* sidText = nullptr;
    if (!ReadIdentity(::GetCurrentProcess(), mine) || !::ConvertSidToStringSidW(mine.Sid(), &sidText))
        return {};
    const afx::unique_hlocal sidOwner(sidText);
    const std::wstring sddl = std::wstring(L"D:P(A;;GA;;;") + sidText + L")(A;;GR;;;SY)(A;;GR;;;BA)";
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &descriptor, nullptr))
        return {};
    return afx::unique_hlocal(descriptor);
}

enum class Holder { Asked, NotTabvisor, Ended };

// Waits for the record's holder to be named and for its panel, and asks the panel to show itself.
// Asked when the holder is a Tabvisor of this user, whether or not its panel came in time (one
// that is still starting shows it at the next tablet key); Ended when that Tabvisor ended
// meanwhile (or was gone already), so the record is about to go.
Holder AskHolderToShow(const InstanceRecord& record)
{
    const ULONGLONG deadline = ::GetTickCount64() + kWaitForPanelMs;
    afx::unique_handle holder;
    DWORD holderId = 0;
    for (;;) {
        if (!holder && Load(record.magic) == kInstanceMagic) {
            holderId = Load(record.processId);
            if (holderId == ::GetCurrentProcessId())
                return Holder::NotTabvisor;
            holder.reset(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, holderId));
            // A holder that is gone leaves a record that goes as soon as the last look at it ends.
            if (!holder || !Running(holder.get()))
                return Holder::Ended;
            if (!IsTabvisorOfThisUser(holder.get()))
                return Holder::NotTabvisor;
        }
        if (holder) {
            if (!Running(holder.get()))
                return Holder::Ended;
            if (const HWND panel = static_cast<HWND>(LongToHandle(static_cast<LONG>(Load(record.panel))))) {
                DWORD owner = 0;
                ::GetWindowThreadProcessId(panel, &owner);
                if (owner == holderId) {
                    // This start is the user's latest act, so it may hand the foreground on: the
                    // panel comes up in front with the keyboard, as after the tablet key.
                    ::AllowSetForegroundWindow(holderId);
                    ::PostMessageW(panel, ShowPanelMessage(), 0, 0);
                }
                return Holder::Asked;
            }
        }
        if (::GetTickCount64() >= deadline)
            return holder ? Holder::Asked : Holder::NotTabvisor;
        ::Sleep(kPollMs);
    }
}

} // namespace

SingleInstance::Claim SingleInstance::ClaimOrAskRunning()
{
    const afx::unique_hlocal security = RecordSecurity();
    SECURITY_ATTRIBUTES attributes{sizeof attributes, security.get(), FALSE};
    // A Tabvisor that ends while this one looks leaves its record to this one: another look, a
    // moment later, once the record has gone with the last handle to it.
    for (int look = 0; look < kLooks; ++look) {
        if (look > 0)
            ::Sleep(kPollMs);
        ::SetLastError(ERROR_SUCCESS);
        afx::unique_handle mapping(::CreateFileMappingW(INVALID_HANDLE_VALUE, security ? &attributes : nullptr,
                                                        PAGE_READWRITE, 0, sizeof(InstanceRecord),
                                                        kInstanceObjectName));
        const bool existed = ::GetLastError() == ERROR_ALREADY_EXISTS;
        // No handle: an object of that name that this user may not open, so not a Tabvisor of his.
        if (!mapping)
            return Claim::Unguarded;
        afx::unique_mapped_view view(
            ::MapViewOfFile(mapping.get(), FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, sizeof(InstanceRecord)));
        if (!view)
            return Claim::Unguarded;
        auto* record = static_cast<InstanceRecord*>(view.get());
        if (existed) {
            const Holder holder = AskHolderToShow(*record);
            if (holder == Holder::Ended)
                continue;
            return holder == Holder::Asked ? Claim::AnotherRuns : Claim::Unguarded;
        }
        // The id first, then the mark that makes it valid: a start that opens the record in
        // between waits for the mark.
        Store(record->processId, ::GetCurrentProcessId());
        Store(record->magic, kInstanceMagic);
        m_mapping = std::move(mapping);
        m_view = std::move(view);
        return Claim::First;
    }
    return Claim::Unguarded;
}

void SingleInstance::PublishPanel(HWND panel)
{
    if (m_view)
        Store(static_cast<InstanceRecord*>(m_view.get())->panel, static_cast<uint32_t>(HandleToLong(panel)));
}
