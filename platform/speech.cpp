#include "platform/speech.h"

namespace platform {

bool RecordingVoice::GetVoices(std::vector<std::string>& d) {
  if (failing) return false;
  d = voices;
  return true;
}

bool RecordingVoice::SetVoice(int index) {
  if (failing || index < 0 || index >= static_cast<int>(voices.size())) return false;
  voice = index;
  return true;
}

bool RecordingVoice::SetVolume(int v) {
  if (failing || v < 0 || v > 100) return false;
  volume = v;
  return true;
}

bool RecordingVoice::SetRate(int r) {
  if (failing || r < -10 || r > 10) return false;
  rate = r;
  return true;
}

bool RecordingVoice::Speak(const std::string& text, unsigned flags) {
  if (failing || mute) return false;
  spoken.push_back(text);
  spokenFlags.push_back(flags);
  return true;
}

bool RecordingVoice::RunningState(int& state) {
  ++statusCalls;
  if (failing) return false;
  state = busy ? SRSEIsSpeaking : SRSEDone;
  return true;
}

}  // namespace platform
