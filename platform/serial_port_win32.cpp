// Windows communications ports.
#include <windows.h>

#include "platform/serial_port.h"

namespace platform {
namespace {

class Win32SerialPort final : public SerialPort {
 public:
  explicit Win32SerialPort(HANDLE h) : h_(h) {}
  ~Win32SerialPort() override { ::CloseHandle(h_); }

  bool getCommState(SerialSettings& s) override {
    DCB dcb{};
    dcb.DCBlength = sizeof(dcb);
    if (!::GetCommState(h_, &dcb)) return false;
    dcb_ = dcb;
    haveDcb_ = true;
    s.BaudRate = dcb.BaudRate;
    s.ByteSize = dcb.ByteSize;
    s.Parity = dcb.Parity;
    s.StopBits = dcb.StopBits;
    return true;
  }

  bool setCommState(const SerialSettings& s) override {
    // The settings are applied to the control block last read, as the port unit reads it just before.
    if (!haveDcb_) {
      SerialSettings current;
      if (!getCommState(current)) return false;
    }
    DCB dcb = dcb_;
    dcb.BaudRate = s.BaudRate;
    dcb.ByteSize = s.ByteSize;
    dcb.Parity = s.Parity;
    dcb.StopBits = s.StopBits;
    // The whole flags word at 0.
    dcb.fBinary = 0;
    dcb.fParity = 0;
    dcb.fOutxCtsFlow = 0;
    dcb.fOutxDsrFlow = 0;
    dcb.fDtrControl = 0;
    dcb.fDsrSensitivity = 0;
    dcb.fTXContinueOnXoff = 0;
    dcb.fOutX = 0;
    dcb.fInX = 0;
    dcb.fErrorChar = 0;
    dcb.fNull = 0;
    dcb.fRtsControl = 0;
    dcb.fAbortOnError = 0;
    dcb.fDummy2 = 0;
    if (!::SetCommState(h_, &dcb)) return false;
    dcb_ = dcb;
    return true;
  }

  bool inputQueueCount(uint32_t& count) override {
    DWORD errors = 0;
    COMSTAT stat{};
    if (!::ClearCommError(h_, &errors, &stat)) return false;
    count = stat.cbInQue;
    return true;
  }

  bool readBytes(uint32_t count, std::string& out) override {
    out.assign(count, '\0');
    DWORD got = 0;
    const BOOL ok = ::ReadFile(h_, out.data(), count, &got, nullptr);
    out.resize(ok ? got : 0);
    return ok != 0;
  }

  bool writeBytes(std::string_view bytes, uint32_t& written) override {
    DWORD done = 0;
    const BOOL ok = ::WriteFile(h_, bytes.data(), DWORD(bytes.size()), &done, nullptr);
    written = ok ? done : 0;
    return ok != 0;
  }

  bool escapeCommFunction(EscapeFunction f) override { return ::EscapeCommFunction(h_, DWORD(f)) != 0; }

 private:
  HANDLE h_;
  DCB dcb_{};
  bool haveDcb_ = false;
};

class Win32Devices final : public SerialDevices {
 public:
  std::unique_ptr<SerialPort> open(int comNumber) override {
    const std::string name = "\\\\.\\COM" + std::to_string(comNumber);
    HANDLE h = ::CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return nullptr;
    return std::make_unique<Win32SerialPort>(h);
  }
};

}  // namespace

SerialDevices& systemSerialDevices() {
  static Win32Devices devices;
  return devices;
}

}  // namespace platform
