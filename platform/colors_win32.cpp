#include "platform/colors.h"

#include <windows.h>

namespace platform {
namespace {

class Win32Scheme final : public SystemColors {
 public:
  uint32_t SysColor(int index) override { return uint32_t(GetSysColor(index)); }
};

}  // namespace

SystemColors& systemColors() {
  static Win32Scheme scheme;
  return scheme;
}

}  // namespace platform
