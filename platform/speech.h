#pragma once
// The speech seam: the operating system's voice object (on Windows the speech API's SpVoice automation object
// through COM). The station asks it for the installed voices and their descriptions, chooses one, sets the
// volume and rate, queues text asynchronously and polls whether everything queued has been spoken.
//
// Every operation reports whether the engine carried it out. An engine that is missing or broken (no speech
// API, or one that lists voices but cannot speak, as under Wine) answers false and never throws.
#include <memory>
#include <string>
#include <vector>

namespace platform {

// Flags of Speak.
inline constexpr unsigned SVSFlagsAsync = 1;
// RunningState: 1 when everything queued has been spoken; any other value means busy.
inline constexpr int SRSEDone = 1;
inline constexpr int SRSEIsSpeaking = 2;

class SpeechVoice {
 public:
  virtual ~SpeechVoice() = default;
  // The installed voices, in the engine's order, each by its description (Windows-1252 text).
  virtual bool GetVoices(std::vector<std::string>& descriptions) = 0;
  // Makes voice `index` of the last GetVoices list the one that speaks.
  virtual bool SetVoice(int index) = 0;
  virtual bool SetVolume(int volume) = 0;  // 0..100
  virtual bool SetRate(int rate) = 0;      // -10..10
  // Queues the text (Windows-1252) and, with SVSFlagsAsync, returns at once.
  virtual bool Speak(const std::string& text, unsigned flags) = 0;
  // The running state of the voice (SRSEDone when idle).
  virtual bool RunningState(int& state) = 0;
};

// The system's voice: SpVoice on Windows; natively a voice without engine (no voices, every call false).
std::unique_ptr<SpeechVoice> createSystemVoice();

// A voice for tests: keeps what it was asked and speaks nothing. `busy` makes it report a voice that is
// still speaking; `failing` makes every call fail, as a broken engine does.
class RecordingVoice final : public SpeechVoice {
 public:
  std::vector<std::string> voices;
  bool busy = false;
  bool failing = false;
  bool mute = false;  // lists and chooses voices, but every Speak fails
  int voice = -1;
  int volume = -1;
  int rate = -100;
  std::vector<std::string> spoken;
  std::vector<unsigned> spokenFlags;
  int statusCalls = 0;

  bool GetVoices(std::vector<std::string>& d) override;
  bool SetVoice(int index) override;
  bool SetVolume(int v) override;
  bool SetRate(int r) override;
  bool Speak(const std::string& text, unsigned flags) override;
  bool RunningState(int& state) override;
};

}  // namespace platform
