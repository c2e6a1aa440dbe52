#pragma once
// The skinning library's private window messages: the command message through which its parts (the skin
// manager, the skin data of skinned controls, window adapters, form skin providers) talk to each other, the
// other private message numbers, and the block that an outside skin editor sends with WM_COPYDATA.
//
// WM_SKINCOMMAND: WParam = command code in the high word | small argument in the low word (0 unless a code
// says otherwise); LParam = the argument (an object, a number, or the address of a record the receiver fills);
// the result is the answer, 0 when the receiver does not know the code. A window nobody skinned answers 0
// through its default handling. The message is sent (SendMessage to a window, Perform on a control without
// one); only AC_APPLYRECEIVEDSKIN is posted. Where a code carries "the manager", LParam is the address of the
// manager's TsSkinManager (sskinmanager.h), the same address that skin data holds.
#include <cstddef>
#include <cstdint>

namespace skin {

inline constexpr uint32_t WM_SKINCOMMAND = 0xA100;

// Command codes (0, 9, 35, 39, 41-50, 54-59 and 66-69 are not used).
inline constexpr uint16_t AC_SKINLOADED = 1;          // LParam = manager: it applied a skin
inline constexpr uint16_t AC_SKINREMOVED = 2;         // LParam = manager: it removed its skin
inline constexpr uint16_t AC_SKINREFRESH = 3;         // LParam = manager: repaint with its current skin
inline constexpr uint16_t AC_GETPROVIDER = 4;         // answer: the form's skin provider, 0 without one
inline constexpr uint16_t AC_CHILDPAINTING = 5;       // a child window is about to paint
inline constexpr uint16_t AC_FLUSHREPAINT = 6;        // pending repaint now, passed on to the children
inline constexpr uint16_t AC_ISSKINNED = 7;           // answer 1: handled by the library
inline constexpr uint16_t AC_SETREPAINTPENDING = 8;   // low word 1 sets, else clears; menu window: region set?
inline constexpr uint16_t AC_ISUPDATELOCKED = 10;     // answer 1: cannot serve as a background now
inline constexpr uint16_t AC_GETTAGBYTE = 11;         // answer: the skipped-paint byte
inline constexpr uint16_t AC_GETADAPTER = 12;         // answer: the adapter that subclasses the window
inline constexpr uint16_t AC_SECTIONCHANGED = 13;     // LParam = address of a section name
inline constexpr uint16_t AC_MENUREGIONSET = 14;      // a popup menu window's region is about to be set
inline constexpr uint16_t AC_SETSECTION = 15;         // LParam = address of a record holding a section name
inline constexpr uint16_t AC_STOPANIMATION = 16;      // stop the state animation
inline constexpr uint16_t AC_SETBGCHANGED = 17;       // low word 1: the cached background is stale
inline constexpr uint16_t AC_REPAINT = 18;            // repaint now
inline constexpr uint16_t AC_ISCACHEUSABLE = 19;      // answer 1: a child may use the receiver's cache
inline constexpr uint16_t AC_UPDATEBGCHANGED = 20;    // low word 1: also redraw
inline constexpr uint16_t AC_GETCOLOR = 21;           // answer: background colour (senders pass 0xFF00FF)
inline constexpr uint16_t AC_SETTAGBYTE = 22;         // skipped-paint byte := 1
inline constexpr uint16_t AC_UPDATECACHE = 23;        // bring the cached background up to date
inline constexpr uint16_t AC_RELEASEHANDLE = 24;      // release the GDI object a push button keeps
inline constexpr uint16_t AC_CHILDADDED = 25;         // LParam = control or 0: skin new child controls
inline constexpr uint16_t AC_GETSKININDEX = 26;       // LParam = address of an integer (preset -1)
inline constexpr uint16_t AC_GETFRAMEINFO = 27;       // group box: caption band height; tab control: manager
inline constexpr uint16_t AC_SKINCHILDREN = 28;       // dialog adapter: skin the child windows again
inline constexpr uint16_t AC_MOUSEENTER = 29;         // LParam = the control
inline constexpr uint16_t AC_MOUSELEAVE = 30;         // LParam = the control
inline constexpr uint16_t AC_BEGINUPDATE = 31;
inline constexpr uint16_t AC_ENDUPDATE = 32;
inline constexpr uint16_t AC_DROPCACHE = 33;
inline constexpr uint16_t AC_GETBACKGROUND = 34;      // LParam = address of a BackgroundInfo
inline constexpr uint16_t AC_TRANSPARENCYFLAGS = 36;  // LParam 1: recompute; else answer the transparency word
inline constexpr uint16_t AC_GETSKINDATA = 37;        // answer: the receiver's TsCommonData
inline constexpr uint16_t AC_SETPAINTTARGET = 38;     // LParam = DC or 0
inline constexpr uint16_t AC_PAINTOUTEREFFECT = 40;   // low word = flags; LParam = address of a record
inline constexpr uint16_t AC_SCROLLBEGIN = 51;        // LParam = scroll code | (scroll message << 16)
inline constexpr uint16_t AC_SCROLLEND = 52;
inline constexpr uint16_t AC_SCROLLSIZECHANGED = 53;
inline constexpr uint16_t AC_GETAPPLICATION = 60;
inline constexpr uint16_t AC_GETCLIENTOFFSET = 61;    // answer: x | (y << 16)
inline constexpr uint16_t AC_TITLECHANGED = 62;       // LParam 1: also flag the frame cache stale
inline constexpr uint16_t AC_SETGLUEMOVING = 63;      // LParam 1/0
inline constexpr uint16_t AC_ISGLUEMOVING = 64;
inline constexpr uint16_t AC_SETFORMALPHA = 65;       // LParam 0..255
inline constexpr uint16_t AC_GETCONTROLRECT = 70;     // LParam = address of a TRect
inline constexpr uint16_t AC_APPLYRECEIVEDSKIN = 71;  // posted to the application window; LParam 0

// WParam of a command: the code in the high word, the small argument in the low word.
inline constexpr uintptr_t SkinCommandWParam(uint16_t code, uint16_t low = 0) {
  return (uintptr_t(code) << 16) | low;
}
inline constexpr uint16_t SkinCommandCode(uintptr_t wparam) { return uint16_t((wparam >> 16) & 0xFFFF); }
inline constexpr uint16_t SkinCommandArgument(uintptr_t wparam) { return uint16_t(wparam & 0xFFFF); }

// Codes whose LParam is the address of an object or a record of this process. Such a command is taken only
// when it comes from the process's own thread: an address that another thread or process made up would be
// followed blindly.
inline constexpr bool SkinCommandCarriesAddress(uint16_t code) {
  switch (code) {
    case AC_SKINLOADED:
    case AC_SKINREMOVED:
    case AC_SKINREFRESH:
    case AC_SECTIONCHANGED:
    case AC_SETSECTION:
    case AC_STOPANIMATION:
    case AC_CHILDADDED:
    case AC_GETSKININDEX:
    case AC_MOUSEENTER:
    case AC_MOUSELEAVE:
    case AC_GETBACKGROUND:
    case AC_PAINTOUTEREFFECT:
    case AC_GETCONTROLRECT:
      return true;
    default:
      return false;
  }
}

// Other private messages of the library.
inline constexpr uint32_t WM_SKINEDITOR = 0xA400;       // to and from an outside skin editor
inline constexpr uint32_t WM_SKINPROBE = 0xBC4D;        // WParam 0x41A2; that answer: leave the window alone
inline constexpr uint32_t SkinProbeSignature = 0x41A2;
inline constexpr uint32_t WM_SKINMENUITEM = 0xBCB3;     // posted to the application window; LParam = menu item
inline constexpr uint32_t WM_SKINPOPUPWINDOW = 0xBCB4;  // LParam = a popup menu window ("#32768")

// The skin an outside editor sends with WM_COPYDATA (WParam 7 in place of the sender's window): a block of
// 30645 bytes holding single-byte texts, each NUL-terminated within its field.
inline constexpr uintptr_t SkinPreviewCopyDataWParam = 7;
inline constexpr uint32_t SkinPreviewMagic = 0xA400;  // little-endian 32-bit word at offset 0
inline constexpr size_t SkinPreviewNameOffset = 4;
inline constexpr size_t SkinPreviewNameSize = 128;
inline constexpr size_t SkinPreviewDirectoryOffset = 132;
inline constexpr size_t SkinPreviewDirectorySize = 512;
inline constexpr size_t SkinPreviewOptionsOffset = 644;
inline constexpr size_t SkinPreviewOptionsSize = 30001;
inline constexpr size_t SkinPreviewDataSize = 30645;
static_assert(SkinPreviewOptionsOffset + SkinPreviewOptionsSize == SkinPreviewDataSize);

}  // namespace skin
