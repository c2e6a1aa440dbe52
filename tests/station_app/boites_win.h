#pragma once
// Message boxes of the station's thread under Wine, answered as they show.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace apptest {

// The message boxes of the thread, closed as they show (from a timer, which their own modal loops run), counted,
// their texts and owners noted; while `ready` says a box is not yet as it is to be seen, it stays open.
struct Boites {
  Boites() {
    count = 0;
    seen.clear();
    owners.clear();
    texts.clear();
    waiting.clear();
    ready = nullptr;
    timer = SetTimer(nullptr, 0, 40, Close);
  }
  ~Boites() { KillTimer(nullptr, timer); }
  static void CALLBACK Close(HWND, UINT, UINT_PTR, DWORD) {
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND h, LPARAM) -> BOOL {
          char cls[32] = {}, text[1024] = {};
          GetClassNameA(h, cls, sizeof cls);
          if (std::string(cls) != "#32770" || !IsWindowVisible(h) || seen.count(h)) return TRUE;
          const DWORD first = waiting.emplace(h, GetTickCount()).first->second;
          if (ready && !ready(h)) {
            if (GetTickCount() - first < 10000) return TRUE;
            ADD_FAILURE() << "a message box never showed as it was to be seen";
          }
          seen.insert(h);
          ++count;
          owners.push_back(GetWindow(h, GW_OWNER));
          GetDlgItemTextA(h, 0xFFFF, text, sizeof text);
          texts.push_back(text);
          PostMessageA(h, WM_COMMAND, IDOK, 0);
          return TRUE;
        },
        0);
  }
  UINT_PTR timer = 0;
  static inline int count = 0;
  static inline std::set<HWND> seen;
  static inline std::vector<HWND> owners;
  static inline std::vector<std::string> texts;
  static inline std::function<bool(HWND)> ready;
  static inline std::map<HWND, DWORD> waiting;  // since when each box is seen
};

}  // namespace apptest
