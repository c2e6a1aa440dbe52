#include "platform/colors.h"

namespace platform {
namespace {

class DefaultScheme final : public SystemColors {
 public:
  uint32_t SysColor(int index) override { return DefaultSystemColor(index); }
};

}  // namespace

SystemColors& systemColors() {
  static DefaultScheme scheme;
  return scheme;
}

}  // namespace platform
