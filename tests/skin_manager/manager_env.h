#pragma once
// A skin manager component on a given system seam, with a skin directory of its own and stored fixture skins.
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "skin/manager/sskinmanager_component.h"
#include "tests/skin_data/skin_fixture.h"
#include "tests/support/temp_dir.h"

namespace skintest {

struct ManagerEnv {
  testsupport::TempDir dir;
  std::unique_ptr<skin::TsSkinManagerComponent> m;

  explicit ManagerEnv(skin::SkinSystem& sys) {
    m = std::make_unique<skin::TsSkinManagerComponent>(nullptr, sys);
    m->SetSkinDirectory(dir.path().string());
  }
  skin::TsStoredSkin& Store(const std::string& name, const std::string& bytes) {
    skin::TsStoredSkin& s = m->InternalSkins.Add();
    s.Name = name;
    s.Data.WriteBuffer(bytes.data(), int64_t(bytes.size()));
    return s;
  }
  void WriteDirectory(const std::string& name, const std::vector<skin::PackedSkinMember>& members) {
    std::filesystem::create_directories(dir.path() / name);
    for (const auto& f : members) dir.write(name + "/" + f.Name, f.Data);
  }
};

}  // namespace skintest
