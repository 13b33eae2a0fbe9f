#include "batch/console.h"

#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

namespace batch {

namespace {

// True when a byte arrives on stdin within `ms` milliseconds.
bool ByteWithin(int ms) {
  pollfd p{STDIN_FILENO, POLLIN, 0};
  return poll(&p, 1, ms) > 0 && (p.revents & (POLLIN | POLLHUP)) != 0;
}

int ReadByte() {
  unsigned char c;
  return read(STDIN_FILENO, &c, 1) == 1 ? c : -1;
}

}  // namespace

static_assert(sizeof(termios) <= 128, "saved terminal settings must fit");

TerminalConsole::TerminalConsole() {
  terminal_ = isatty(STDIN_FILENO) != 0;
  if (!terminal_) return;
  termios t;
  if (tcgetattr(STDIN_FILENO, &t) != 0) return;
  std::memcpy(saved_, &t, sizeof t);
  t.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
  t.c_cc[VMIN] = 1;
  t.c_cc[VTIME] = 0;
  rawSet_ = tcsetattr(STDIN_FILENO, TCSANOW, &t) == 0;
}

TerminalConsole::~TerminalConsole() {
  if (!rawSet_) return;
  termios t;
  std::memcpy(&t, saved_, sizeof t);
  tcsetattr(STDIN_FILENO, TCSANOW, &t);
}

void TerminalConsole::Print(std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
}

bool TerminalConsole::KeyWaiting() {
  if (pending_ >= 0) return true;
  return terminal_ && ByteWithin(0);
}

int TerminalConsole::ReadKey() {
  if (pending_ >= 0) {
    const int k = pending_;
    pending_ = -1;
    return k;
  }
  if (!terminal_) return -1;
  const int c = ReadByte();
  if (c != kEscapeKey) return c;
  // A lone Esc is a key; ESC followed at once by more bytes is one key's sequence.
  if (!ByteWithin(30)) return kEscapeKey;
  int last = ReadByte();
  if (last == '[' || last == 'O') {
    // Parameters and intermediates run up to a final byte in 0x40..0x7E.
    while (ByteWithin(30)) {
      last = ReadByte();
      if (last < 0 || (last >= 0x40 && last <= 0x7E)) break;
    }
  }
  pending_ = last < 0 ? 0 : last;
  return kExtendedKey;
}

}  // namespace batch
