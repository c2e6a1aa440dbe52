// Native serial ports over termios: terminal devices and pseudo-terminals.
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "platform/serial_port.h"

namespace platform {
namespace {

struct BaudCode {
  uint32_t baud;
  speed_t code;
};
constexpr BaudCode kBauds[] = {
    {110, B110},       {300, B300},       {600, B600},       {1200, B1200},     {2400, B2400},
    {4800, B4800},     {9600, B9600},     {19200, B19200},   {38400, B38400},   {57600, B57600},
    {115200, B115200}, {230400, B230400}, {460800, B460800}, {921600, B921600},
};

bool speedCode(uint32_t baud, speed_t& code) {
  for (const auto& b : kBauds)
    if (b.baud == baud) {
      code = b.code;
      return true;
    }
  return false;
}

uint32_t baudOf(speed_t code) {
  for (const auto& b : kBauds)
    if (b.code == code) return b.baud;
  return 0;
}

// How long a write may make no progress before it gives up (a port whose reader has stopped).
constexpr int kWriteStallMs = 5000;

class PosixSerialPort final : public SerialPort {
 public:
  explicit PosixSerialPort(int fd) : fd_(fd) {}
  ~PosixSerialPort() override { ::close(fd_); }

  bool getCommState(SerialSettings& s) override {
    termios t{};
    if (::tcgetattr(fd_, &t) != 0) return false;
    s.BaudRate = baudOf(::cfgetospeed(&t));
    switch (t.c_cflag & CSIZE) {
      case CS5: s.ByteSize = 5; break;
      case CS6: s.ByteSize = 6; break;
      case CS7: s.ByteSize = 7; break;
      default: s.ByteSize = 8; break;
    }
    s.Parity = (t.c_cflag & PARENB) ? ((t.c_cflag & PARODD) ? 1 : 2) : 0;
    s.StopBits = (t.c_cflag & CSTOPB) ? 2 : 0;
    return true;
  }

  bool setCommState(const SerialSettings& s) override {
    termios t{};
    if (::tcgetattr(fd_, &t) != 0) return false;
    speed_t code;
    if (!speedCode(s.BaudRate, code)) return false;
    ::cfmakeraw(&t);
    ::cfsetispeed(&t, code);
    ::cfsetospeed(&t, code);
    t.c_cflag &= ~tcflag_t(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
    switch (s.ByteSize) {
      case 5: t.c_cflag |= CS5; break;
      case 6: t.c_cflag |= CS6; break;
      case 7: t.c_cflag |= CS7; break;
      case 8: t.c_cflag |= CS8; break;
      default: return false;
    }
    if (s.Parity == 1) t.c_cflag |= PARENB | PARODD;
    else if (s.Parity == 2) t.c_cflag |= PARENB;
    else if (s.Parity != 0) return false;
    if (s.StopBits != 0) t.c_cflag |= CSTOPB;
    t.c_cflag |= CLOCAL | CREAD;
    t.c_iflag &= ~tcflag_t(IXON | IXOFF | IXANY | INPCK);  // no flow control, no parity check
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    return ::tcsetattr(fd_, TCSANOW, &t) == 0;
  }

  bool inputQueueCount(uint32_t& count) override {
    int n = 0;
    if (::ioctl(fd_, FIONREAD, &n) != 0 || n < 0) return false;
    count = uint32_t(n);
    return true;
  }

  bool readBytes(uint32_t count, std::string& out) override {
    out.assign(count, '\0');
    size_t got = 0;
    while (got < count) {
      const ssize_t r = ::read(fd_, out.data() + got, count - got);
      if (r > 0) {
        got += size_t(r);
        continue;
      }
      if (r < 0 && errno == EINTR) continue;
      if (r < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
        out.resize(got);
        return got > 0;
      }
      break;  // nothing more waiting
    }
    out.resize(got);
    return true;
  }

  bool writeBytes(std::string_view bytes, uint32_t& written) override {
    written = 0;
    auto lastProgress = std::chrono::steady_clock::now();
    while (written < bytes.size()) {
      const ssize_t r = ::write(fd_, bytes.data() + written, bytes.size() - written);
      if (r > 0) {
        written += uint32_t(r);
        lastProgress = std::chrono::steady_clock::now();
        continue;
      }
      if (r < 0 && errno == EINTR) continue;
      if (r < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return false;
      // The device's output buffer is full: wait until it drains, as a blocking WriteFile does.
      const auto stalled = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                                 lastProgress).count();
      if (stalled >= kWriteStallMs) return false;
      pollfd p{fd_, POLLOUT, 0};
      ::poll(&p, 1, int(kWriteStallMs - stalled));
    }
    return true;
  }

  bool escapeCommFunction(EscapeFunction f) override {
    int bits = 0;
    switch (f) {
      case EscapeFunction::SetRts: bits = TIOCM_RTS; return ::ioctl(fd_, TIOCMBIS, &bits) == 0;
      case EscapeFunction::ClrRts: bits = TIOCM_RTS; return ::ioctl(fd_, TIOCMBIC, &bits) == 0;
      case EscapeFunction::SetDtr: bits = TIOCM_DTR; return ::ioctl(fd_, TIOCMBIS, &bits) == 0;
      case EscapeFunction::ClrDtr: bits = TIOCM_DTR; return ::ioctl(fd_, TIOCMBIC, &bits) == 0;
      case EscapeFunction::SetBreak: return ::ioctl(fd_, TIOCSBRK) == 0;
      case EscapeFunction::ClrBreak: return ::ioctl(fd_, TIOCCBRK) == 0;
      case EscapeFunction::SetXoff: return ::tcflow(fd_, TCIOFF) == 0;
      case EscapeFunction::SetXon: return ::tcflow(fd_, TCION) == 0;
    }
    return false;
  }

 private:
  int fd_;
};

class SystemDevices final : public SerialDevices {
 public:
  std::unique_ptr<SerialPort> open(int comNumber) override {
    if (comNumber < 1) return nullptr;
    return PosixSerialDevices::openPath("/dev/ttyS" + std::to_string(comNumber - 1));
  }
};

}  // namespace

std::unique_ptr<SerialPort> PosixSerialDevices::openPath(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return nullptr;
  // No sharing: a second opener of the same device fails, as with a Windows communications port.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return nullptr;
  }
  return std::make_unique<PosixSerialPort>(fd);
}

std::unique_ptr<SerialPort> PosixSerialDevices::open(int comNumber) {
  const auto it = paths_.find(comNumber);
  if (it == paths_.end()) return nullptr;
  return openPath(it->second);
}

SerialDevices& systemSerialDevices() {
  static SystemDevices devices;
  return devices;
}

}  // namespace platform
