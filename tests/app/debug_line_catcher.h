// Catches the lines written for an attached debugger while it lives: through the seam's sink on
// Linux, and on Windows by watching for the exception that the system raises for each such line
// (while the process says a debugger is attached, as the installer writes them only then).
#pragma once

#include <string>
#include <utility>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#include <winternl.h>
#else
#include "platform/posix/system_source.h"
#endif

class DebugLineCatcher {
 public:
  DebugLineCatcher() {
    Lines().clear();
#ifdef _WIN32
    m_handler = AddVectoredExceptionHandler(1, &Watch);
    m_wasDebugged = std::exchange(ThisProcess()->BeingDebugged, TRUE);
#else
    platform::posix::SetDebugLineSink([](std::u16string_view line) { Lines().emplace_back(line); });
#endif
  }
  DebugLineCatcher(const DebugLineCatcher&) = delete;
  DebugLineCatcher& operator=(const DebugLineCatcher&) = delete;
  ~DebugLineCatcher() {
#ifdef _WIN32
    ThisProcess()->BeingDebugged = m_wasDebugged;
    RemoveVectoredExceptionHandler(m_handler);
#else
    platform::posix::SetDebugLineSink(nullptr);
#endif
  }

  const std::vector<std::u16string>& Caught() const { return Lines(); }

 private:
  static std::vector<std::u16string>& Lines() {
    static std::vector<std::u16string> lines;
    return lines;
  }

#ifdef _WIN32
  // This process's environment block, whose flag answers IsDebuggerPresent.
  static PEB* ThisProcess() {
    using Query = NTSTATUS(NTAPI*)(HANDLE, PROCESSINFOCLASS, void*, ULONG, ULONG*);
    const auto query = reinterpret_cast<Query>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
    PROCESS_BASIC_INFORMATION info{};
    query(GetCurrentProcess(), ProcessBasicInformation, &info, sizeof info, nullptr);
    return info.PebBaseAddress;
  }

  // The wide form of the line comes first where the system has it; the narrow form follows only
  // when nobody took the wide one, so each line is kept once.
  static LONG CALLBACK Watch(EXCEPTION_POINTERS* info) {
    const EXCEPTION_RECORD* record = info->ExceptionRecord;
    constexpr DWORD kPrintWide = 0x4001000A;
    static bool lastWasWide = false;
    if (record->ExceptionCode == kPrintWide && record->NumberParameters >= 2) {
      const auto* text = reinterpret_cast<const char16_t*>(record->ExceptionInformation[1]);
      Lines().emplace_back(text, record->ExceptionInformation[0] ? record->ExceptionInformation[0] - 1 : 0);
      lastWasWide = true;
    } else if (record->ExceptionCode == DBG_PRINTEXCEPTION_C && record->NumberParameters >= 2) {
      const auto* text = reinterpret_cast<const char*>(record->ExceptionInformation[1]);
      std::string narrow(text, record->ExceptionInformation[0] ? record->ExceptionInformation[0] - 1 : 0);
      std::u16string line(narrow.begin(), narrow.end());
      if (!(lastWasWide && !Lines().empty() && Lines().back() == line)) Lines().push_back(line);
      lastWasWide = false;
    }
    return EXCEPTION_CONTINUE_SEARCH;
  }

  void* m_handler = nullptr;
  BYTE m_wasDebugged = FALSE;
#endif
};
