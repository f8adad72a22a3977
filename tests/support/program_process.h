// Another program of the framework (qellib.exe, or a test's own), started in
// a folder and watched from the test as a user sees it: its windows, and
// when its process has ended. Ended by force if still running at the end.
#pragma once

#include <windows.h>

#include <string>

#include "qel_test.h"

class Program {
public:
  // `name` is an executable beside the test's own.
  Program(const wchar_t* name, const std::wstring& arguments, const std::wstring& folder)
  {
    wchar_t path[MAX_PATH];
    const std::wstring exe(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
    std::wstring command =
        L"\"" + exe.substr(0, exe.find_last_of(L'\\') + 1) + name + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             folder.c_str(), &startup, &info);
  }
  ~Program()
  {
    if (!started)
      return;
    TerminateProcess(info.hProcess, 99);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
  }
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // Its visible top-level window whose class and title start with these;
  // waits up to 20 s for one.
  HWND window(const std::wstring& class_prefix, const std::string& title = {}) const
  {
    struct Search {
      const Program* program;
      const std::wstring& class_prefix;
      const std::string& title;
      HWND found;
    } search{this, class_prefix, title, nullptr};
    wait_until([&] {
      EnumWindows([](HWND w, LPARAM l) -> BOOL {
        auto* s = reinterpret_cast<Search*>(l);
        DWORD process = 0;
        GetWindowThreadProcessId(w, &process);
        wchar_t class_name[32] = L"";
        GetClassNameW(w, class_name, 32);
        if (process == s->program->info.dwProcessId && IsWindowVisible(w) &&
            std::wstring(class_name).rfind(s->class_prefix, 0) == 0 &&
            window_text(w).rfind(s->title, 0) == 0)
          s->found = w;
        return s->found == nullptr;
      }, reinterpret_cast<LPARAM>(&search));
      return search.found != nullptr;
    }, 20000);
    return search.found;
  }

  // Milliseconds until the process has ended, with its exit code; -1 when
  // it runs on after `limit_ms`.
  int wait_gone(int limit_ms, DWORD* exit_code) const
  {
    const DWORD since = GetTickCount();
    if (WaitForSingleObject(info.hProcess, static_cast<DWORD>(limit_ms)) != WAIT_OBJECT_0)
      return -1;
    GetExitCodeProcess(info.hProcess, exit_code);
    return static_cast<int>(GetTickCount() - since);
  }

  bool started = false;

private:
  PROCESS_INFORMATION info{};
};
