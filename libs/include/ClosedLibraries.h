// The exports of the three tablet libraries (WINIO.dll, PM.dll, common.dll), what each call
// promises, and a pointer type per export for binding them at run time with GetProcAddress.
//
// Each stand-in is built twice. The system build, which the setup installs, talks to the system
// only. The simulated build (tests, ./run.sh) talks to the simulated tablet when the environment
// variable TABVISOR_SIMULATED_TABLET names a state file (see kSimulatedTabletVariable), and to
// the system otherwise.
// Calls never block on hardware: system calls read a cached value and return within
// microseconds; slow system work (WMI, Core Audio, Task Scheduler) happens on a background thread
// owned by the library. A simulated call holds the machine-wide tablet lock for its use.
// No C++ exception leaves an export: every one is noexcept, and a failure inside (memory, a
// thread that cannot start) ends in the failure result the call documents.
#pragma once
#include <windows.h>

#include <cmath>

// The calling convention of every export. On x86 the maker's WINIO.dll exports __stdcall
// functions, and so do our stand-ins of all three libraries; the maker's PM.dll and common.dll
// may use either, which is why the program calls them through a binding that works with both
// (hardware/ForeignFunction.h). Test-only builds define it as __cdecl. x64 has one convention.
#ifndef TABVISOR_LIBRARY_CALL
#if defined(__i386__) || defined(_M_IX86)
#define TABVISOR_LIBRARY_CALL __stdcall
#else
#define TABVISOR_LIBRARY_CALL
#endif
#endif

// ---------------------------------------------------------------------------------------------
// WINIO.dll: one-byte I/O port access.
//
// Port access is open between a successful InitializeWinIo and the next ShutdownWinIo. A port
// call outside that window fails, changes nothing and is counted by the simulated tablet.
// Only size 1 (one byte) is supported; other sizes fail without any effect.

// Opens port access. True when granted. The system backend has no port driver: always false.
extern "C" bool TABVISOR_LIBRARY_CALL InitializeWinIo() noexcept;

// Closes port access. True when it was open.
extern "C" bool TABVISOR_LIBRARY_CALL ShutdownWinIo() noexcept;

// Reads one byte from `port` into the low byte of *value (the upper bytes are cleared).
// False, with *value untouched, when access is not open, `value` is null or size is not 1.
extern "C" bool TABVISOR_LIBRARY_CALL GetPortVal(WORD port, PDWORD value, BYTE size) noexcept;

// Writes the low byte of `value` to `port`. False, without effect, when access is not open or
// size is not 1.
extern "C" bool TABVISOR_LIBRARY_CALL SetPortVal(WORD port, DWORD value, BYTE size) noexcept;

// ---------------------------------------------------------------------------------------------
// PM.dll: the built-in display's brightness as eight levels, 0 (dimmest) to 7 (brightest).

// The current level, 0 to 7. Where brightness cannot be controlled or read (no such display,
// unusable simulated tablet), the answer is a stable 7: the panel then shows at full brightness.
extern "C" unsigned int TABVISOR_LIBRARY_CALL QueryCurrentBrightnessLevel() noexcept;

// Sets the level. Returns 1 when the level was accepted (applied, or handed to the background
// thread that applies it), 0 when it was refused: a level above 7, or no brightness control.
extern "C" unsigned int TABVISOR_LIBRARY_CALL SetBrightnessLevel(unsigned int level) noexcept;

// ---------------------------------------------------------------------------------------------
// common.dll: master volume and the start-up task.
//
// Both return an HRESULT: S_OK (0) on success, a negative value on failure; E_OUTOFMEMORY when
// the library ran out of memory or could not start its thread, E_UNEXPECTED for any other
// failure inside it. (WINIO.dll's calls answer false then, PM.dll's query 7 and its set 0.)

// operation kVolumeRead (3): stores the master volume scalar, 0.0 to 1.0, in *scalar.
// operation kVolumeWrite (4): sets the master volume from *scalar.
// `reserved` is ignored (callers pass 0).
// Failures: E_POINTER for a null scalar; E_INVALIDARG for an unknown operation or a scalar to
// write that is NaN, infinite, below 0 or above 1 (nothing is changed); E_PENDING from the system
// backend while its first reading is still being taken; otherwise the failure the audio system
// reported (for example E_NOTIMPL when it refuses to set the volume; a write is applied in the
// background, so such a refusal is reported by the writes that follow it). *scalar is only
// written by a successful read.
extern "C" int TABVISOR_LIBRARY_CALL VolumeVista(int operation, int reserved, float* scalar) noexcept;

// Registers `program` to start for the interactive user after every boot (at each logon), under
// the task name `name`, replacing any task of that name. kind must be kTaskKindAtLogon (1).
// author and description may be null (empty). The system backend hands the registration to its
// background thread and returns S_OK once the request is accepted.
// Failures: E_POINTER for a null name or program; E_INVALIDARG for another kind, an empty name
// or program, a name holding a backslash, or a string longer than the limits below.
extern "C" int TABVISOR_LIBRARY_CALL AddTask7EveryBoot(int kind, const wchar_t* name, const wchar_t* program,
                                 const wchar_t* author, const wchar_t* description) noexcept;

// ---------------------------------------------------------------------------------------------
// Pointer types for GetProcAddress, one per export, from the declarations above.
using PFN_InitializeWinIo = decltype(&InitializeWinIo);
using PFN_ShutdownWinIo = decltype(&ShutdownWinIo);
using PFN_GetPortVal = decltype(&GetPortVal);
using PFN_SetPortVal = decltype(&SetPortVal);
using PFN_QueryCurrentBrightnessLevel = decltype(&QueryCurrentBrightnessLevel);
using PFN_SetBrightnessLevel = decltype(&SetBrightnessLevel);
using PFN_VolumeVista = decltype(&VolumeVista);
using PFN_AddTask7EveryBoot = decltype(&AddTask7EveryBoot);

namespace closed_libraries {

inline constexpr wchar_t kWinIoLibrary[] = L"WINIO.dll";
inline constexpr wchar_t kPowerLibrary[] = L"PM.dll";
inline constexpr wchar_t kCommonLibrary[] = L"common.dll";

// Names the simulated tablet's state file when set and not empty. A Windows path; under Wine a
// Unix path starting with '/' is accepted as well.
inline constexpr wchar_t kSimulatedTabletVariable[] = L"TABVISOR_SIMULATED_TABLET";

inline constexpr unsigned int kMaxBrightnessLevel = 7;

// The plain signature R(Args...) of an export, without its calling convention: for a caller that
// binds the maker's libraries its own way (hardware/ForeignFunction.h).
template <class Export>
struct ExportSignature;
template <class R, class... Args>
struct ExportSignature<R TABVISOR_LIBRARY_CALL(Args...) noexcept> {
    using type = R(Args...);
};
template <class Export>
using SignatureOf = typename ExportSignature<Export>::type;

inline constexpr int kVolumeRead = 3;
inline constexpr int kVolumeWrite = 4;
// A volume a write may set: a finite number from 0.0 to 1.0.
inline bool IsVolumeScalar(float scalar) { return std::isfinite(scalar) && scalar >= 0.0f && scalar <= 1.0f; }

inline constexpr int kTaskKindAtLogon = 1;
// Longest accepted strings, in UTF-16 code units without the terminator.
inline constexpr size_t kMaxTaskNameLength = 255;
inline constexpr size_t kMaxTaskProgramLength = 519;
inline constexpr size_t kMaxTaskAuthorLength = 255;
inline constexpr size_t kMaxTaskDescriptionLength = 1023;

} // namespace closed_libraries
