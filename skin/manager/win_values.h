#pragma once
// The Win32 numbers that the skinning library computes with in both builds (window messages and the component
// layer's notifications it handles, window styles, system metrics indexes, hit codes, system commands). They
// carry names of their own, so that the Windows build, where the system headers define the usual names as macros,
// and the native build share one set. The library's own message and command codes are in skincommands.h.
#include <cstdint>

namespace skin::wv {

// Window messages.
inline constexpr uint32_t kWmCreate = 0x0001;
inline constexpr uint32_t kWmDestroy = 0x0002;
inline constexpr uint32_t kWmMove = 0x0003;
inline constexpr uint32_t kWmSize = 0x0005;
inline constexpr uint32_t kWmActivate = 0x0006;
inline constexpr uint32_t kWmSetRedraw = 0x000B;
inline constexpr uint32_t kWmSetText = 0x000C;
inline constexpr uint32_t kWmPaint = 0x000F;
inline constexpr uint32_t kWmClose = 0x0010;
inline constexpr uint32_t kWmQueryEndSession = 0x0011;
inline constexpr uint32_t kWmEraseBkgnd = 0x0014;
inline constexpr uint32_t kWmSysColorChange = 0x0015;
inline constexpr uint32_t kWmShowWindow = 0x0018;
inline constexpr uint32_t kWmSettingChange = 0x001A;
inline constexpr uint32_t kWmActivateApp = 0x001C;
inline constexpr uint32_t kWmCancelMode = 0x001F;
inline constexpr uint32_t kWmChildActivate = 0x0022;
inline constexpr uint32_t kWmGetMinMaxInfo = 0x0024;
inline constexpr uint32_t kWmMeasureItem = 0x002C;
inline constexpr uint32_t kWmChildActivateNotify = 0x003F;  // an MDI child's activation, told its client
inline constexpr uint32_t kWmWindowPosChanging = 0x0046;
inline constexpr uint32_t kWmWindowPosChanged = 0x0047;
inline constexpr uint32_t kWmCopyData = 0x004A;
inline constexpr uint32_t kWmNotify = 0x004E;
inline constexpr uint32_t kWmContextMenu = 0x007B;
inline constexpr uint32_t kWmStyleChanged = 0x007D;
inline constexpr uint32_t kWmGetIcon = 0x007F;
inline constexpr uint32_t kWmSetIcon = 0x0080;
inline constexpr uint32_t kWmNcCreate = 0x0081;
inline constexpr uint32_t kWmNcDestroy = 0x0082;
inline constexpr uint32_t kWmNcHitTest = 0x0084;
inline constexpr uint32_t kWmNcPaint = 0x0085;
inline constexpr uint32_t kWmNcActivate = 0x0086;
inline constexpr uint32_t kWmNcMouseMove = 0x00A0;
inline constexpr uint32_t kWmNcLButtonDown = 0x00A1;
inline constexpr uint32_t kWmNcLButtonUp = 0x00A2;
inline constexpr uint32_t kWmNcLButtonDblClk = 0x00A3;
inline constexpr uint32_t kWmNcRButtonDown = 0x00A4;
inline constexpr uint32_t kWmNcRButtonUp = 0x00A5;
inline constexpr uint32_t kWmSysCommand = 0x0112;
inline constexpr uint32_t kWmInitMenuPopup = 0x0117;
inline constexpr uint32_t kWmMenuSelect = 0x011F;
inline constexpr uint32_t kWmEnterIdle = 0x0121;
inline constexpr uint32_t kWmComboStartTrack = 0x01AE;  // a combo box starts tracking the mouse in its list
inline constexpr uint32_t kWmComboEndTrack = 0x01AF;    // ... and ends it
inline constexpr uint32_t kWmMouseMove = 0x0200;
inline constexpr uint32_t kWmLButtonUp = 0x0202;
inline constexpr uint32_t kWmParentNotify = 0x0210;
inline constexpr uint32_t kWmEnterMenuLoop = 0x0211;
inline constexpr uint32_t kWmExitMenuLoop = 0x0212;
inline constexpr uint32_t kWmSizing = 0x0214;
inline constexpr uint32_t kWmCaptureChanged = 0x0215;
inline constexpr uint32_t kWmMdiCreate = 0x0220;
inline constexpr uint32_t kWmMdiDestroy = 0x0221;
inline constexpr uint32_t kWmMdiActivate = 0x0222;
inline constexpr uint32_t kWmMdiTile = 0x0226;
inline constexpr uint32_t kWmMdiCascade = 0x0227;
inline constexpr uint32_t kWmMdiSetMenu = 0x0230;
inline constexpr uint32_t kWmExitSizeMove = 0x0232;
inline constexpr uint32_t kWmMdiRefreshMenu = 0x0234;
inline constexpr uint32_t kWmMouseLeave = 0x02A3;
inline constexpr uint32_t kWmNcMouseLeave = 0x02A2;
inline constexpr uint32_t kWmSysMenuAtCursor = 0x0313;  // the system menu asked for at the cursor
inline constexpr uint32_t kWmPrint = 0x0317;
inline constexpr uint32_t kWmPrintClient = 0x0318;
inline constexpr uint32_t kWmThemeChanged = 0x031A;
inline constexpr uint32_t kWmDwmSendIconicThumbnail = 0x0323;
inline constexpr uint32_t kWmDwmSendIconicLivePreviewBitmap = 0x0326;

// The component layer's notifications (CM_BASE + n) that the library handles beyond those gui/messages.h names.
inline constexpr uint32_t kCmRefreshSkin = 0xB03A;       // the form's skin is to be refreshed
inline constexpr uint32_t kCmNotification4C = 0xB04C;    // answered 0 by a skinned form

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
inline constexpr uint32_t kScKeyMenu = 0xF100;
inline constexpr uint32_t kScContextHelp = 0xF180;

// Menu item state bits (GetMenuState).
inline constexpr uint32_t kMfGrayed = 0x1;
inline constexpr uint32_t kMfDisabled = 0x2;

}  // namespace skin::wv
