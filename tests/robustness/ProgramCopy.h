// Tabvisor.exe copied into a temporary folder of its own with only the libraries a test chooses
// beside it (the program loads them from its own folder): some of the real ones, test-only fakes
// under the same names, or none. Started there and looked at from outside, like ProgramUnderTest.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "Geometry.h"
#include "Handles.h"

// FakeWinIo brings the real WINIO.dll along as winio_real.dll, which it hands the calls it passes.
enum class LibraryFile { WinIo, Pm, Common, FakeWinIo, FakePm, FakeCommon };

// Sets an environment variable of this process (and so of the programs it starts) for a scope.
class ScopedVariable {
public:
    ScopedVariable(const wchar_t* name, const std::wstring& value);
    ~ScopedVariable();
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    std::wstring m_name;
    std::wstring m_previous;
    bool m_hadPrevious = false;
};

class ProgramCopy {
public:
    // Makes the folder with Tabvisor.exe and `libraries`, and starts the program there (with
    // `workingFolder` as its current folder when given); Started() says whether it came up and
    // hid itself after start-up.
    explicit ProgramCopy(const std::vector<LibraryFile>& libraries, const std::wstring& workingFolder = {});
    // Ends the program (the close command, else by force) and removes the folder.
    ~ProgramCopy();
    ProgramCopy(const ProgramCopy&) = delete;
    ProgramCopy& operator=(const ProgramCopy&) = delete;

    bool Started() const { return m_panel != nullptr; }
    bool Running() const;
    // Ends the program as a user can and returns its exit code (0xFFFFFFFF if it did not end).
    DWORD Close();

    HWND Panel() const { return m_panel; }
    // The page holding control `id`, and that control.
    HWND PageWith(int id) const;
    HWND Control(int id) const { return ::GetDlgItem(PageWith(id), id); }
    bool PanelVisible() const { return ::IsWindowVisible(m_panel) != FALSE; }
    bool AllPagesVisible() const;
    bool AnyPageVisible() const;

    // The file the fake libraries append their calls to, and its lines so far.
    const std::wstring& CallLogPath() const { return m_callLog; }
    std::vector<std::string> CallLog() const;

private:
    std::wstring m_folder;
    std::wstring m_callLog;
    afx::unique_handle m_process;
    HWND m_panel = nullptr;
    std::vector<HWND> m_pages;
};

// A trackbar's position, asked across processes.
int SliderPosition(HWND slider);
// Whether a window's thread answers a message within `timeoutMs`: it is not hung.
bool Answers(HWND hwnd, UINT timeoutMs = 5000);
