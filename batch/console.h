// The console the layer mover talks on: text out, a key poll and a key read. The terminal version
// reads keys without echo or line buffering; without a terminal (a batch job, CI) no key is ever
// waiting and a wait for a key returns at once.
#pragma once
#include <string_view>

namespace batch {

constexpr int kEscapeKey = 27;
// Prefix of an extended key (arrows, function keys): its second code follows.
constexpr int kExtendedKey = 224;

class Console {
 public:
  virtual ~Console() = default;
  virtual void Print(std::string_view text) = 0;
  // True when a key is waiting to be read.
  virtual bool KeyWaiting() = 0;
  // The next key, waiting for one; -1 when no key can come.
  virtual int ReadKey() = 0;
};

// stdin and stdout. A key sequence the terminal sends for one key (ESC [ A for an arrow) comes as
// kExtendedKey and one more code, never as Esc.
class TerminalConsole final : public Console {
 public:
  TerminalConsole();
  ~TerminalConsole() override;
  TerminalConsole(const TerminalConsole&) = delete;
  TerminalConsole& operator=(const TerminalConsole&) = delete;

  void Print(std::string_view text) override;
  bool KeyWaiting() override;
  int ReadKey() override;

 private:
  bool terminal_ = false;
  bool rawSet_ = false;
  int pending_ = -1;  // second code of an extended key
  unsigned char saved_[128] = {};  // the terminal's settings before raw mode
};

}  // namespace batch
