#include "gui/syscolors.h"

#include <iterator>

#include "platform/colors.h"

namespace gui {

namespace {
SystemColorSource* g_source = nullptr;

// While a source is in place, the program's one colour conversion (platform::ColorToRGB) resolves through it.
class SourceScheme final : public platform::SystemColors {
 public:
  uint32_t SysColor(int index) override { return GetSysColor(index); }
};
SourceScheme g_sourceScheme;
}  // namespace

bool InstallSystemColorSource(SystemColorSource* source) {
  if (!source) return false;
  if (g_source && g_source != source) return false;
  g_source = source;
  platform::SetProgramColors(&g_sourceScheme);
  return true;
}

void RemoveSystemColorSource(SystemColorSource* source) {
  if (source && g_source == source) {
    g_source = nullptr;
    platform::SetProgramColors(nullptr);
  }
}

SystemColorSource* CurrentSystemColorSource() { return g_source; }

uint32_t SystemSysColor(int index) { return platform::systemColors().SysColor(index); }

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

SystemColoursOnly::SystemColoursOnly() : saved_(g_source) { RemoveSystemColorSource(saved_); }

SystemColoursOnly::~SystemColoursOnly() {
  if (saved_ && !g_source) InstallSystemColorSource(saved_);
}

}  // namespace gui
