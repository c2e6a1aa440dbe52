#pragma once
// The Win32 numbers that the form skinning code computes with in both builds (window styles, system metrics
// indexes, hit codes, system commands). They carry names of their own, so that the Windows build, where the
// system headers define the usual names as macros, and the native build share one set.
#include <cstdint>

namespace skin::wv {

// Window styles and extended styles.
inline constexpr uint32_t kWsPopup = 0x80000000;
inline constexpr uint32_t kWsChild = 0x40000000;
inline constexpr uint32_t kWsMinimize = 0x20000000;
inline constexpr uint32_t kWsVisible = 0x10000000;
inline constexpr uint32_t kWsMaximize = 0x01000000;
inline constexpr uint32_t kWsCaption = 0x00C00000;
inline constexpr uint32_t kWsBorder = 0x00800000;
inline constexpr uint32_t kWsSysMenu = 0x00080000;
inline constexpr uint32_t kWsThickFrame = 0x00040000;
inline constexpr uint32_t kWsMinimizeBox = 0x00020000;
inline constexpr uint32_t kWsMaximizeBox = 0x00010000;
inline constexpr uint32_t kWsExTopmost = 0x00000008;
inline constexpr uint32_t kWsExTransparent = 0x00000020;
inline constexpr uint32_t kWsExToolWindow = 0x00000080;
inline constexpr uint32_t kWsExAppWindow = 0x00040000;
inline constexpr uint32_t kWsExLayered = 0x00080000;
inline constexpr uint32_t kWsExNoActivate = 0x08000000;

// System metrics indexes.
inline constexpr int kSmCyCaption = 4;
inline constexpr int kSmCxVScroll = 2;
inline constexpr int kSmCyHScroll = 3;
inline constexpr int kSmCxFixedFrame = 7;
inline constexpr int kSmCyMenu = 15;
inline constexpr int kSmCxFrame = 32;
inline constexpr int kSmCySmCaption = 51;

// Hit codes.
inline constexpr int32_t kHtTransparent = -1;
inline constexpr int32_t kHtNowhere = 0;
inline constexpr int32_t kHtClient = 1;
inline constexpr int32_t kHtCaption = 2;
inline constexpr int32_t kHtSysMenu = 3;
inline constexpr int32_t kHtMenu = 5;
inline constexpr int32_t kHtSize = 4;
inline constexpr int32_t kHtMinButton = 8;
inline constexpr int32_t kHtMaxButton = 9;
inline constexpr int32_t kHtLeft = 10;
inline constexpr int32_t kHtRight = 11;
inline constexpr int32_t kHtTop = 12;
inline constexpr int32_t kHtTopLeft = 13;
inline constexpr int32_t kHtTopRight = 14;
inline constexpr int32_t kHtBottom = 15;
inline constexpr int32_t kHtBottomLeft = 16;
inline constexpr int32_t kHtBottomRight = 17;
inline constexpr int32_t kHtBorder = 18;
inline constexpr int32_t kHtClose = 20;
inline constexpr int32_t kHtHelp = 21;
// The library's own codes: the buttons of a maximized MDI child, user title buttons and title-bar items.
inline constexpr int32_t kHtMdiClose = 101;
inline constexpr int32_t kHtMdiRestore = 102;
inline constexpr int32_t kHtMdiMinimize = 103;
inline constexpr int32_t kHtUserButton = 1000;
inline constexpr int32_t kHtTitleItem = 2000;

// System commands.
inline constexpr uint32_t kScSize = 0xF000;
inline constexpr uint32_t kScMove = 0xF010;
inline constexpr uint32_t kScMinimize = 0xF020;
inline constexpr uint32_t kScMaximize = 0xF030;
inline constexpr uint32_t kScClose = 0xF060;
inline constexpr uint32_t kScRestore = 0xF120;
inline constexpr uint32_t kScContextHelp = 0xF180;

// Menu item state bits (GetMenuState).
inline constexpr uint32_t kMfGrayed = 0x1;
inline constexpr uint32_t kMfDisabled = 0x2;

}  // namespace skin::wv
