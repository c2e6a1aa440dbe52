#pragma once
// The serial-port seam: one open port (a Win32 communications handle, or a terminal device natively) and the
// opener that turns a COM number into such a port. The Win32 implementation makes exactly the system calls
// that the station's port unit names: CreateFileA on "\\.\COMn", GetCommState/SetCommState, ClearCommError,
// ReadFile, WriteFile, EscapeCommFunction and CloseHandle. The POSIX one serves native tools and tests over
// terminal devices and pseudo-terminals.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace platform {

// Line settings in the codes of the Win32 device control block.
struct SerialSettings {
  uint32_t BaudRate = 1200;
  uint8_t ByteSize = 8;
  uint8_t Parity = 0;    // 0 none, 1 odd, 2 even, 3 mark, 4 space
  uint8_t StopBits = 0;  // 0 one, 1 one and a half, 2 two
};

// EscapeCommFunction codes, with the values of the Win32 constants SETXOFF, SETXON, SETRTS, CLRRTS, SETDTR,
// CLRDTR, SETBREAK and CLRBREAK.
enum class EscapeFunction : uint32_t {
  SetXoff = 1,
  SetXon = 2,
  SetRts = 3,
  ClrRts = 4,
  SetDtr = 5,
  ClrDtr = 6,
  SetBreak = 8,
  ClrBreak = 9,
};

// An open port. Destroying it closes it (CloseHandle).
class SerialPort {
 public:
  virtual ~SerialPort() = default;
  // GetCommState: the current line settings; false when they cannot be read.
  virtual bool getCommState(SerialSettings& settings) = 0;
  // SetCommState with the given settings and the whole flags word of the control block at 0 (binary mode bit,
  // parity check, hardware and software flow control, DTR and RTS control all off).
  virtual bool setCommState(const SerialSettings& settings) = 0;
  // ClearCommError: the count of bytes in the input queue; false when the call fails.
  virtual bool inputQueueCount(uint32_t& count) = 0;
  // One ReadFile of up to `count` bytes into `out` (replacing its content); false when the call fails.
  virtual bool readBytes(uint32_t count, std::string& out) = 0;
  // One WriteFile of all the bytes; `written` receives the count actually written.
  virtual bool writeBytes(std::string_view bytes, uint32_t& written) = 0;
  // EscapeCommFunction.
  virtual bool escapeCommFunction(EscapeFunction function) = 0;
};

// Opens ports by COM number.
class SerialDevices {
 public:
  virtual ~SerialDevices() = default;
  // CreateFileA("\\.\COMn", read and write access, no sharing, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL): the port,
  // or nullptr when it cannot be opened.
  virtual std::unique_ptr<SerialPort> open(int comNumber) = 0;
};

// The operating system's ports: "\\.\COMn" on Windows; natively COMn is /dev/ttyS(n-1), as Wine maps them.
SerialDevices& systemSerialDevices();

#ifndef _WIN32
// Native ports named by a map from COM number to device path (for instance pseudo-terminals of the radio
// module simulator); a number without an entry cannot be opened. Each device is opened exclusively, like a
// Windows communications port.
class PosixSerialDevices final : public SerialDevices {
 public:
  PosixSerialDevices() = default;
  explicit PosixSerialDevices(std::map<int, std::string> paths) : paths_(std::move(paths)) {}
  void setPath(int comNumber, std::string path) { paths_[comNumber] = std::move(path); }
  void removePath(int comNumber) { paths_.erase(comNumber); }
  std::unique_ptr<SerialPort> open(int comNumber) override;

  // Opens one device path as a port (nullptr when it cannot be opened or is held by another port).
  static std::unique_ptr<SerialPort> openPath(const std::string& path);

 private:
  std::map<int, std::string> paths_;
};
#endif

}  // namespace platform
