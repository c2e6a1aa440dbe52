// The speech API's SpVoice object through its automation interface (ISpeechVoice), on the thread that creates
// it (the user-interface thread, a single-threaded COM apartment).
#include <windows.h>
#include <ole2.h>
#include <sapi.h>

#include "platform/speech.h"

namespace platform {
namespace {

// {96749377-3391-11D2-9EE3-00C04F797396}
constexpr CLSID kClsidSpVoice = {0x96749377, 0x3391, 0x11d2, {0x9e, 0xe3, 0x00, 0xc0, 0x4f, 0x79, 0x73, 0x96}};
// {269316D8-57BD-11D2-9EEE-00C04F797396}
constexpr IID kIidISpeechVoice = {0x269316d8, 0x57bd, 0x11d2, {0x9e, 0xee, 0x00, 0xc0, 0x4f, 0x79, 0x73, 0x96}};

// Windows-1252 text to a BSTR (released by the caller).
BSTR ToBstr(const std::string& text) {
  const int n = MultiByteToWideChar(1252, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  BSTR b = SysAllocStringLen(nullptr, static_cast<UINT>(n));
  if (b && n > 0) MultiByteToWideChar(1252, 0, text.data(), static_cast<int>(text.size()), b, n);
  return b;
}

std::string FromBstr(BSTR b) {
  if (!b) return std::string();
  const int len = static_cast<int>(SysStringLen(b));
  const int n = WideCharToMultiByte(1252, 0, b, len, nullptr, 0, nullptr, nullptr);
  std::string s(static_cast<size_t>(n), '\0');
  if (n > 0) WideCharToMultiByte(1252, 0, b, len, s.data(), n, nullptr, nullptr);
  return s;
}

class SapiVoice final : public SpeechVoice {
 public:
  SapiVoice() {
    const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    comInitialised_ = SUCCEEDED(hr);  // S_FALSE too: each successful call is balanced
    void* p = nullptr;
    if (SUCCEEDED(CoCreateInstance(kClsidSpVoice, nullptr, CLSCTX_ALL, kIidISpeechVoice, &p)) && p)
      voice_ = static_cast<ISpeechVoice*>(p);
  }
  ~SapiVoice() override {
    ReleaseTokens();
    if (voice_) voice_->Release();
    if (comInitialised_) CoUninitialize();
  }

  bool GetVoices(std::vector<std::string>& descriptions) override {
    descriptions.clear();
    ReleaseTokens();
    if (!voice_) return false;
    BSTR required = SysAllocString(L"");
    BSTR optional = SysAllocString(L"");
    ISpeechObjectTokens* list = nullptr;
    const HRESULT hr = voice_->GetVoices(required, optional, &list);
    SysFreeString(required);
    SysFreeString(optional);
    if (FAILED(hr) || !list) return false;
    LONG count = 0;
    bool ok = SUCCEEDED(list->get_Count(&count));
    for (LONG i = 0; ok && i < count; ++i) {
      ISpeechObjectToken* token = nullptr;
      if (FAILED(list->Item(i, &token)) || !token) {
        ok = false;
        break;
      }
      BSTR description = nullptr;
      if (FAILED(token->GetDescription(0, &description))) description = nullptr;
      descriptions.push_back(FromBstr(description));
      if (description) SysFreeString(description);
      tokens_.push_back(token);
    }
    list->Release();
    if (!ok) {
      descriptions.clear();
      ReleaseTokens();
    }
    return ok;
  }

  bool SetVoice(int index) override {
    if (!voice_ || index < 0 || index >= static_cast<int>(tokens_.size())) return false;
    return SUCCEEDED(voice_->putref_Voice(tokens_[static_cast<size_t>(index)]));
  }
  bool SetVolume(int volume) override { return voice_ && SUCCEEDED(voice_->put_Volume(volume)); }
  bool SetRate(int rate) override { return voice_ && SUCCEEDED(voice_->put_Rate(rate)); }

  bool Speak(const std::string& text, unsigned flags) override {
    if (!voice_) return false;
    BSTR b = ToBstr(text);
    if (!b) return false;
    LONG stream = 0;
    const HRESULT hr = voice_->Speak(b, static_cast<SpeechVoiceSpeakFlags>(flags), &stream);
    SysFreeString(b);
    return SUCCEEDED(hr);
  }

  bool RunningState(int& state) override {
    if (!voice_) return false;
    ISpeechVoiceStatus* status = nullptr;
    if (FAILED(voice_->get_Status(&status)) || !status) return false;
    SpeechRunState running = static_cast<SpeechRunState>(0);
    const HRESULT hr = status->get_RunningState(&running);
    status->Release();
    if (FAILED(hr)) return false;
    state = static_cast<int>(running);
    return true;
  }

 private:
  void ReleaseTokens() {
    for (ISpeechObjectToken* t : tokens_) t->Release();
    tokens_.clear();
  }

  bool comInitialised_ = false;
  ISpeechVoice* voice_ = nullptr;
  std::vector<ISpeechObjectToken*> tokens_;
};

}  // namespace

std::unique_ptr<SpeechVoice> createSystemVoice() { return std::make_unique<SapiVoice>(); }

}  // namespace platform
