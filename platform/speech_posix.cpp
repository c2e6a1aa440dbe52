// The native build has no speech engine: a voice that lists no voices and carries out nothing.
#include "platform/speech.h"

namespace platform {
namespace {

class NoVoice final : public SpeechVoice {
 public:
  bool GetVoices(std::vector<std::string>& d) override {
    d.clear();
    return false;
  }
  bool SetVoice(int) override { return false; }
  bool SetVolume(int) override { return false; }
  bool SetRate(int) override { return false; }
  bool Speak(const std::string&, unsigned) override { return false; }
  bool RunningState(int&) override { return false; }
};

}  // namespace

std::unique_ptr<SpeechVoice> createSystemVoice() { return std::make_unique<NoVoice>(); }

}  // namespace platform
