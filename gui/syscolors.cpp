#include "gui/syscolors.h"

#include <iterator>

namespace gui {

namespace {
SystemColorSource* g_source = nullptr;
}  // namespace

bool InstallSystemColorSource(SystemColorSource* source) {
  if (!source) return false;
  if (g_source && g_source != source) return false;
  g_source = source;
  return true;
}

void RemoveSystemColorSource(SystemColorSource* source) {
  if (source && g_source == source) g_source = nullptr;
}

SystemColorSource* CurrentSystemColorSource() { return g_source; }

uint32_t SystemSysColor(int index) {
#ifdef _WIN32
  return ::GetSysColor(index);
#else
  // The classic Windows scheme.
  static const uint32_t classic[] = {
      RGB(212, 208, 200), RGB(58, 110, 165),  RGB(10, 36, 106),   RGB(128, 128, 128), RGB(212, 208, 200),
      RGB(255, 255, 255), RGB(0, 0, 0),       RGB(0, 0, 0),       RGB(0, 0, 0),       RGB(255, 255, 255),
      RGB(212, 208, 200), RGB(212, 208, 200), RGB(128, 128, 128), RGB(10, 36, 106),   RGB(255, 255, 255),
      RGB(212, 208, 200), RGB(128, 128, 128), RGB(128, 128, 128), RGB(0, 0, 0),       RGB(212, 208, 200),
      RGB(255, 255, 255), RGB(64, 64, 64),    RGB(212, 208, 200), RGB(0, 0, 0),       RGB(255, 255, 225)};
  return index >= 0 && index < static_cast<int>(std::size(classic)) ? classic[index] : 0;
#endif
}

uint32_t GetSysColor(int index) {
  uint32_t rgb = 0;
  if (g_source && g_source->SysColor(index, rgb)) return rgb & 0x00FFFFFF;
  return SystemSysColor(index);
}

HBRUSH GetSysColorBrush(int index) {
  if (g_source)
    if (HBRUSH b = g_source->SysColorBrush(index)) return b;
#ifdef _WIN32
  return ::GetSysColorBrush(index);
#else
  return nullptr;
#endif
}

COLORREF PenColor(COLORREF color) { return g_source ? g_source->PenColor(color) : color; }

}  // namespace gui
