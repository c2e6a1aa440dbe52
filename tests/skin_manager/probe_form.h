#pragma once
// Forms that stand for skinned and unskinned forms in the manager's tests: a probe form records the library
// commands and WM_SETREDRAW it receives (through its WindowProc, so the same in the native and the Windows
// build); a skinned one registers as a skinned form and answers AC_ISSKINNED and AC_GETPROVIDER with a probe
// provider that records what the sweeps ask of it.
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "gui/forms.h"
#include "skin/manager/skinchange.h"
#include "skin/manager/sskinmanager_component.h"
#include "tests/skin_data/skin_fixture.h"

namespace skintest {

using Log = std::vector<std::string>;

inline std::string CommandName(uint16_t code) {
  switch (code) {
    case skin::AC_SKINLOADED: return "loaded";
    case skin::AC_SKINREMOVED: return "removed";
    case skin::AC_SKINREFRESH: return "refresh";
    case skin::AC_STOPANIMATION: return "stop";
    case skin::AC_SCROLLSIZECHANGED: return "scrollsize";
    case skin::AC_MOUSEENTER: return "enter";
    case skin::AC_MOUSELEAVE: return "leave";
    default: return "ac" + std::to_string(code);
  }
}

struct ProbeProvider : skin::TacFormProvider {
  gui::TCustomForm* form = nullptr;
  skin::TsSkinManager* manager = nullptr;  // nullptr: the default manager
  Log* log = nullptr;
  bool border = false;

  gui::TCustomForm* Form() const override { return form; }
  skin::TsSkinManager* SkinManager() const override { return manager ? manager : skin::DefaultManager(); }
  bool borderImage = false;
  bool HasBorderForm() const override { return border; }
  bool BorderFormHasImage() const override { return borderImage; }
  void ReleaseBorderImage() override { Note("release-border-image"); }
  void ClearBorderFlag() override { Note("clear-border-flag"); }
  void DropFrameCache() override { Note("drop-frame-cache"); }
  void SetBorderFormRegion() override { Note("border-region"); }
  void StartMinimizeAnimation() override { Note("minimize-animation"); }
  void StartRestoreAnimation() override { Note("restore-animation"); }
  void TakeBorderSnapshot() override { Note("snapshot"); }
  void ShowBorderSnapshot() override { Note("show-snapshot"); }
  void UpdateBorderForm(uint8_t) override { Note("border"); }
  void UpdateRegion(bool) override { Note("region"); }
  void Note(const std::string& s) const {
    if (log) log->push_back(form->Name() + ":" + s);
  }
};

class ProbeForm : public gui::TForm {
 public:
  ProbeForm(gui::TComponent* owner, const std::string& name, bool skinned, Log* log) : gui::TForm(owner), log_(log) {
    SetName(name);
    provider_.form = this;
    provider_.log = log;
    skinned_ = skinned;
    if (skinned) skin::RegisterSkinnedForm(this);
    gui::TWndMethod previous = WindowProc;
    WindowProc = [this, previous](gui::TMessage& m) {
      if (m.Msg == skin::WM_SKINCOMMAND) {
        const uint16_t code = skin::SkinCommandCode(m.WParam);
        if (code == skin::AC_ISSKINNED) {
          m.Result = skinned_ ? 1 : 0;
          return;
        }
        if (code == skin::AC_GETPROVIDER) {
          m.Result = skinned_ ? reinterpret_cast<LRESULT>(static_cast<skin::TacFormProvider*>(&provider_)) : 0;
          return;
        }
        if (code == skin::AC_GETCOLOR && answerColor >= 0) {
          m.Result = answerColor;
          return;
        }
        received.push_back(code);
        if (log_) log_->push_back(Name() + ":" + CommandName(code));
        if (onCommand) onCommand(code, m);
        return;
      }
      if (m.Msg == WM_SETREDRAW && log_) log_->push_back(Name() + (m.WParam ? ":redraw-on" : ":redraw-off"));
      previous(m);
    };
  }
  ~ProbeForm() override { skin::UnregisterSkinnedForm(this); }

  int Count(uint16_t code) const {
    int n = 0;
    for (uint16_t c : received) n += c == code;
    return n;
  }

  ProbeProvider& provider() { return provider_; }
  std::vector<uint16_t> received;
  std::function<void(uint16_t code, gui::TMessage& m)> onCommand;
  int32_t answerColor = -1;

 private:
  Log* log_;
  bool skinned_ = false;
  ProbeProvider provider_;
};

// A control that records the library commands it receives (and may answer as skinned).
template <class Base>
class ProbeControl : public Base {
 public:
  ProbeControl(gui::TComponent* owner, gui::TWinControl* parent, bool skinned) : Base(owner), skinned_(skinned) {
    this->SetParent(parent);
    this->SetBounds(4, 4, 40, 20);
    gui::TWndMethod previous = this->WindowProc;
    this->WindowProc = [this, previous](gui::TMessage& m) {
      if (m.Msg == skin::WM_SKINCOMMAND) {
        const uint16_t code = skin::SkinCommandCode(m.WParam);
        if (code == skin::AC_ISSKINNED) {
          m.Result = skinned_ ? 1 : 0;
          return;
        }
        received.push_back(code);
        lastParam = m.LParam;
        if (onCommand) onCommand(code, m);
        return;
      }
      previous(m);
    };
  }
  int Count(uint16_t code) const {
    int n = 0;
    for (uint16_t c : received) n += c == code;
    return n;
  }
  std::vector<uint16_t> received;
  LPARAM lastParam = 0;
  std::function<void(uint16_t code, gui::TMessage& m)> onCommand;

 private:
  bool skinned_;
};

// The fixture skin with its EDIT colour and main colour set (for the system colour tests).
inline std::string ColouredFixture(uint32_t edit, uint32_t main) {
  auto members = FixtureMembers();
  std::string& o = members[0].Data;
  auto replace = [&o](const std::string& from, const std::string& to) {
    const size_t at = o.find(from);
    if (at == std::string::npos) throw std::logic_error("fixture text changed: " + from);
    o.replace(at, from.size(), to);
  };
  replace("[EDIT]\r\nCOLOR=0xFFFFFF", "[EDIT]\r\nCOLOR=" + std::to_string(edit));
  replace("COLOR=0xE0E0E0", "COLOR=" + std::to_string(main));
  return Pack(members);
}

}  // namespace skintest
