// Records the developer traces (OutputDebugString) this process makes while a recorder lives: the
// system raises each as a debug-print exception, which a vectored handler sees before it is
// handled, whichever thread traced. One recorder at a time.
#pragma once

#include <mutex>
#include <string>
#include <vector>

class TraceRecorder {
public:
    TraceRecorder();
    ~TraceRecorder();
    TraceRecorder(const TraceRecorder&) = delete;
    TraceRecorder& operator=(const TraceRecorder&) = delete;

    // Every line so far (UTF-8), and whether one holds `part`.
    std::vector<std::string> Lines() const;
    bool Saw(const std::string& part) const;
    // The lines, one a line, for a failure message.
    std::string Describe() const;

private:
    friend struct TraceRecorderAccess;
    void* m_handler = nullptr;
    mutable std::mutex m_lock;
    std::vector<std::string> m_lines;
};
