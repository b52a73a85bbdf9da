// The trace recorder's vectored handler: it copies the text of each debug-print exception and lets
// the system go on with it.
#include "DebugTrace.h"

#include <windows.h>

#include <atomic>
#include <utility>

namespace {

constexpr DWORD kPrintNarrow = 0x40010006;  // DBG_PRINTEXCEPTION_C
constexpr DWORD kPrintWide = 0x4001000A;    // DBG_PRINTEXCEPTION_WIDE_C

std::atomic<TraceRecorder*> s_current{nullptr};

std::string Utf8(const wchar_t* text)
{
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(size > 0 ? size - 1 : 0, '\0');
    if (size > 1)
        ::WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), size, nullptr, nullptr);
    return out;
}

} // namespace

struct TraceRecorderAccess {
    static LONG CALLBACK Handler(EXCEPTION_POINTERS* info)
    {
        const EXCEPTION_RECORD* record = info->ExceptionRecord;
        TraceRecorder* recorder = s_current.load();
        if (recorder == nullptr || record->NumberParameters < 2 || record->ExceptionInformation[1] == 0)
            return EXCEPTION_CONTINUE_SEARCH;
        std::string line;
        if (record->ExceptionCode == kPrintNarrow)
            line = reinterpret_cast<const char*>(record->ExceptionInformation[1]);
        else if (record->ExceptionCode == kPrintWide)
            line = Utf8(reinterpret_cast<const wchar_t*>(record->ExceptionInformation[1]));
        else
            return EXCEPTION_CONTINUE_SEARCH;
        std::lock_guard<std::mutex> guard(recorder->m_lock);
        recorder->m_lines.push_back(std::move(line));
        return EXCEPTION_CONTINUE_SEARCH;
    }
};

TraceRecorder::TraceRecorder()
{
    s_current = this;
    m_handler = ::AddVectoredExceptionHandler(1, &TraceRecorderAccess::Handler);
}

TraceRecorder::~TraceRecorder()
{
    ::RemoveVectoredExceptionHandler(m_handler);
    s_current = nullptr;
}

std::vector<std::string> TraceRecorder::Lines() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_lines;
}

bool TraceRecorder::Saw(const std::string& part) const
{
    for (const std::string& line : Lines())
        if (line.find(part) != std::string::npos)
            return true;
    return false;
}

std::string TraceRecorder::Describe() const
{
    std::string all;
    for (const std::string& line : Lines())
        all += line.empty() || line.back() != '\n' ? line + "\n" : line;
    return all.empty() ? "(no trace)" : all;
}
