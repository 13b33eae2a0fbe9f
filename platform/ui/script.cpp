// Scripted runs: the script's parser and the driver that answers dialogs and boxes and plays the other
// lines whenever the program is idle.
#include <QImage>
#include <QPixmap>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <map>

#include "platform/gfx/png.h"
#include "platform/os/path.h"
#include "platform/ui/internal.h"
#include "platform/ui/keys.h"
#include "platform/ui/program.h"

namespace ui::detail {

namespace {

std::string Lower(std::string s) {
  for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string Upper(std::string s) {
  for (char& c : s) c = char(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

bool ParseNumber(const std::string& word, std::int64_t& value) {
  if (word.empty()) return false;
  errno = 0;
  char* end = nullptr;
  long long v = std::strtoll(word.c_str(), &end, 0);
  if (errno != 0 || *end != '\0') return false;
  value = v;
  return true;
}

bool ParseInt(const std::string& word, int& value) {
  std::int64_t v = 0;
  if (!ParseNumber(word, v) || v < INT32_MIN || v > INT32_MAX) return false;
  value = int(v);
  return true;
}

}  // namespace

bool SplitWords(std::string_view line, std::vector<std::string>& words, std::string& error) {
  words.clear();
  std::size_t i = 0, n = line.size();
  while (i < n) {
    char c = line[i];
    if (c == ' ' || c == '\t' || c == '\r') {
      ++i;
      continue;
    }
    if (c == '#') break;
    std::string word;
    if (c == '"') {
      ++i;
      bool closed = false;
      while (i < n) {
        char d = line[i++];
        if (d == '"') {
          closed = true;
          break;
        }
        if (d == '\\' && i < n && (line[i] == '"' || line[i] == '\\' || line[i] == 'n')) {
          char e = line[i++];
          word += e == 'n' ? '\n' : e;
          continue;
        }
        word += d;
      }
      if (!closed) {
        error = "unclosed quote";
        return false;
      }
    } else {
      while (i < n && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') word += line[i++];
    }
    words.push_back(word);
  }
  return true;
}

namespace {

bool ParseAnswer(const std::vector<std::string>& w, ScriptLine& out, std::string& error) {
  if (w.size() < 2) {
    error = "answer needs a template name";
    return false;
  }
  out.text = w[1];
  std::size_t i = 2;
  while (i < w.size()) {
    std::string verb = Lower(w[i]);
    Action a;
    a.line = out.number;
    auto need = [&](std::size_t count) {
      if (i + count < w.size()) return true;
      error = verb + " needs " + std::to_string(count) + " argument" + (count > 1 ? "s" : "");
      return false;
    };
    if (verb == "press") {
      if (!need(1)) return false;
      std::string id = Lower(w[i + 1]);
      a.kind = Action::Kind::Press;
      if (id == "ok")
        a.id = 1;
      else if (id == "cancel")
        a.id = 2;
      else if (!ParseInt(w[i + 1], a.id))
        return error = "bad button id \"" + w[i + 1] + "\"", false;
      i += 2;
    } else if (verb == "set") {
      if (!need(2)) return false;
      a.kind = Action::Kind::Set;
      if (!ParseInt(w[i + 1], a.id)) return error = "bad control id \"" + w[i + 1] + "\"", false;
      a.text = w[i + 2];
      i += 3;
    } else if (verb == "check" || verb == "pick" || verb == "dblclick") {
      if (!need(2)) return false;
      a.kind = verb == "check" ? Action::Kind::Check : verb == "pick" ? Action::Kind::Pick : Action::Kind::DblClick;
      if (!ParseInt(w[i + 1], a.id)) return error = "bad control id \"" + w[i + 1] + "\"", false;
      if (!ParseInt(w[i + 2], a.value)) return error = "bad number \"" + w[i + 2] + "\"", false;
      if (verb == "check" && a.value != 0 && a.value != 1) return error = "check takes 0 or 1", false;
      i += 3;
    } else {
      error = "unknown action \"" + w[i] + "\"";
      return false;
    }
    out.actions.push_back(a);
  }
  return true;
}

bool ParseLine(const std::vector<std::string>& w, ScriptLine& out, std::string& error) {
  std::string verb = Lower(w[0]);
  auto count = [&](std::size_t lo, std::size_t hi) {
    if (w.size() - 1 >= lo && w.size() - 1 <= hi) return true;
    error = verb + (w.size() - 1 < lo ? ": missing argument" : ": too many words");
    return false;
  };
  using K = ScriptLine::Kind;
  if (verb == "answer") {
    out.kind = K::Answer;
    return ParseAnswer(w, out, error);
  }
  if (verb == "box") {
    out.kind = K::Box;
    if (!count(1, 1)) return false;
    std::string a = Lower(w[1]);
    out.id = a == "ok" ? kIdOk : a == "cancel" ? kIdCancel : a == "yes" ? kIdYes : a == "no" ? kIdNo : 0;
    if (!out.id) return error = "box takes ok, cancel, yes or no", false;
    return true;
  }
  if (verb == "command") {
    out.kind = K::Command;
    if (!count(1, 1)) return false;
    if (!ParseInt(w[1], out.id)) return error = "bad command id \"" + w[1] + "\"", false;
    return true;
  }
  if (verb == "char") {
    out.kind = K::Char;
    if (!count(1, 1)) return false;
    if (w[1].size() == 1) {
      out.id = static_cast<unsigned char>(w[1][0]);
      return true;
    }
    if (!ParseInt(w[1], out.id) || out.id < 1 || out.id > 255) return error = "bad character \"" + w[1] + "\"", false;
    return true;
  }
  if (verb == "key") {
    out.kind = K::Key;
    if (!count(1, 1)) return false;
    if (!ParseKeyName(w[1].c_str(), out.id, out.modifiers)) return error = "unknown key \"" + w[1] + "\"", false;
    return true;
  }
  if (verb == "text" || verb == "snapshot") {
    out.kind = verb == "text" ? K::Text : K::Snapshot;
    if (!count(1, 1)) return false;
    out.text = w[1];
    return true;
  }
  if (verb == "click" || verb == "move") {
    out.kind = verb == "click" ? K::Click : K::Move;
    if (!count(2, verb == "click" ? 3 : 2)) return false;
    if (!ParseInt(w[1], out.x) || !ParseInt(w[2], out.y)) return error = "bad position", false;
    if (w.size() == 4) {
      std::string b = Lower(w[3]);
      out.button = b == "left" ? 0 : b == "right" ? 1 : b == "double" ? 2 : -1;
      if (out.button < 0) return error = "click takes left, right or double", false;
    }
    return true;
  }
  if (verb == "post") {
    out.kind = K::Post;
    if (!count(3, 3)) return false;
    std::string m = Lower(w[1]);
    std::int64_t message = 0;
    if (m.rfind("user", 0) == 0) {
      std::int64_t plus = 0;
      if (m.size() > 4 && (m[4] != '+' || !ParseNumber(m.substr(5), plus)))
        return error = "bad message \"" + w[1] + "\"", false;
      message = msg::User + plus;
    } else if (!ParseNumber(w[1], message)) {
      return error = "bad message \"" + w[1] + "\"", false;
    }
    if (message < 0 || message > 0xFFFFFFFFLL) return error = "bad message \"" + w[1] + "\"", false;
    out.message = std::uint32_t(message);
    if (!ParseNumber(w[2], out.wParam) || !ParseNumber(w[3], out.lParam)) return error = "bad parameter", false;
    return true;
  }
  if (verb == "wait" || verb == "quit") {
    out.kind = verb == "wait" ? K::Wait : K::Quit;
    return count(0, 0);
  }
  error = "unknown word \"" + w[0] + "\"";
  return false;
}

}  // namespace

bool ParseScript(std::string_view text, std::vector<ScriptLine>& lines, std::string& error) {
  lines.clear();
  int number = 0;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    ++number;
    start = end + 1;
    std::vector<std::string> words;
    std::string why;
    ScriptLine parsed;
    parsed.number = number;
    if (!SplitWords(line, words, why) || (!words.empty() && !ParseLine(words, parsed, why))) {
      error = "line " + std::to_string(number) + ": " + why;
      return false;
    }
    if (!words.empty()) lines.push_back(std::move(parsed));
    if (end == text.size()) break;
  }
  return true;
}

// The driver.
namespace {

struct Driver {
  bool active = false;
  std::vector<ScriptLine> lines;
  std::size_t next = 0;
  std::map<std::string, std::deque<std::vector<Action>>> answers;  // by upper-case template name
  std::deque<Action> boxAnswers;
  int status = 0;
  bool jobFailed = false;
  int quitStage = 0;  // 1 close posted, 2 main window destroyed, 3 quit posted
  std::string folder;
};

Driver& D() {
  static Driver d;
  return d;
}

void Fail(int line, const std::string& why) {
  std::fprintf(stderr, "MERO_SCRIPT line %d: %s\n", line, why.c_str());
  if (D().status == 0) D().status = 2;
}

void Unanswered(const std::string& logLine) {
  LogLine(logLine);
  if (D().status == 0) D().status = 3;
}

void Queue(const ScriptLine& line) {
  if (line.kind == ScriptLine::Kind::Box) {
    Action a;
    a.kind = Action::Kind::Press;
    a.id = line.id;
    a.line = line.number;
    D().boxAnswers.push_back(a);
  } else {
    D().answers[Upper(line.text)].push_back(line.actions);
  }
}

std::string ScriptPath(const std::string& path) {
  bool relative = !path.empty() && path[0] != '/' && path[0] != '\\' && !(path.size() > 1 && path[1] == ':');
  std::string p = relative && !D().folder.empty() ? D().folder + "/" + path : path;
  std::string native = os::NativePath(p);
  return native.empty() ? p : native;
}

bool Snapshot(Wnd main, const std::string& file, std::string& error) {
  Record* r = Find(main);
  if (!r || !r->canvas) {
    error = "no main window to take";
    return false;
  }
  Pump();
  // What the user sees: the picture with the docked panels over it.
  QImage image = r->canvas->grab().toImage().convertToFormat(QImage::Format_RGB32);
  gfx::Surface shot(image.width(), image.height());
  for (int y = 0; y < image.height(); ++y) {
    auto* row = reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
    for (int x = 0; x < image.width(); ++x) shot.Row(y)[x] = row[x] & 0x00FFFFFFu;
  }
  if (!gfx::SavePng(ScriptPath(file), shot)) {
    error = "cannot write " + file;
    return false;
  }
  return true;
}

bool QuitStep() {
  Driver& d = D();
  Wnd main = MainWindow();
  switch (d.quitStage) {
    case 0:
      d.quitStage = 1;
      if (main) {
        Post(main, msg::Close, 0, 0);
      } else {
        d.quitStage = 3;
        PostQuit(d.status);
      }
      return true;
    case 1:  // the program did not close: take its window away
      d.quitStage = 2;
      if (main) Destroy(main);
      return true;
    case 2:
      d.quitStage = 3;
      PostQuit(d.status);
      return true;
    default:
      return false;
  }
}

void RunLine(const ScriptLine& line) {
  using K = ScriptLine::Kind;
  Wnd main = MainWindow();
  if (!main && line.kind != K::Wait && line.kind != K::Quit) {
    Fail(line.number, "no main window");
    return;
  }
  LParam at = MakeLParam(line.x, line.y);
  switch (line.kind) {
    case K::Command:
      Post(main, msg::Command, MakeWParam(line.id, notify::Clicked), 0);
      break;
    case K::Char:
      PostInput(main, msg::Char, WParam(line.id), 0);
      break;
    case K::Text:
      for (char c : line.text) PostInput(main, msg::Char, WParam(static_cast<unsigned char>(c)), 0);
      break;
    case K::Key:
      ScriptKey(line.id, line.modifiers);
      break;
    case K::Move:
      PostInput(main, msg::MouseMove, 0, at);
      break;
    case K::Click: {
      PostInput(main, msg::MouseMove, 0, at);
      if (line.button == 1) {
        PostInput(main, msg::RButtonDown, mouse::Right, at);
        PostInput(main, msg::RButtonUp, 0, at);
        break;
      }
      PostInput(main, msg::LButtonDown, mouse::Left, at);
      PostInput(main, msg::LButtonUp, 0, at);
      if (line.button == 2) {
        Record* r = Find(main);
        bool doubles = r && (r->classStyle & cls::DoubleClicks);
        PostInput(main, doubles ? msg::LButtonDblClk : msg::LButtonDown, mouse::Left, at);
        PostInput(main, msg::LButtonUp, 0, at);
      }
      break;
    }
    case K::Post:
      Post(main, Message(line.message), WParam(line.wParam), LParam(line.lParam));
      break;
    case K::Snapshot: {
      std::string error;
      if (!Snapshot(main, line.text, error)) Fail(line.number, error);
      break;
    }
    case K::Quit:
      QuitStep();
      break;
    case K::Wait:
    case K::Answer:
    case K::Box:
      break;
  }
}

}  // namespace

bool DriverStart(std::string_view text, std::string& error) {
  Driver& d = D();
  std::string folder = d.folder;
  d = Driver{};
  d.folder = folder;
  if (text.empty()) return true;
  if (!ParseScript(text, d.lines, error)) return false;
  d.active = true;
  // Answers before the first other line are there before the program's first message.
  while (d.next < d.lines.size() &&
         (d.lines[d.next].kind == ScriptLine::Kind::Answer || d.lines[d.next].kind == ScriptLine::Kind::Box))
    Queue(d.lines[d.next++]);
  return true;
}

void DriverSetFolder(const std::string& folder) { D().folder = folder; }
bool DriverActive() { return D().active; }
int DriverStatus() { return D().status; }
void DriverJobFailed() { D().jobFailed = true; }
bool DriverJobHasFailed() { return D().jobFailed; }

void DriverDialogOpened(ModalFrame& frame, bool selfClosing) {
  Driver& d = D();
  if (!d.active) return;
  if (frame.isBox) {
    if (!d.boxAnswers.empty()) {
      frame.pending.push_back(d.boxAnswers.front());
      d.boxAnswers.pop_front();
      frame.answered = true;
      return;
    }
    Unanswered("unanswered box " + QuoteForLog(frame.name));
    frame.cancelRequested = true;
    frame.cancel();
    return;
  }
  auto it = d.answers.find(Upper(frame.name));
  if (it != d.answers.end() && !it->second.empty()) {
    for (const Action& a : it->second.front()) frame.pending.push_back(a);
    it->second.pop_front();
    frame.answered = true;
    return;
  }
  if (selfClosing) return;  // closes by its own timer
  Unanswered("unanswered dialog " + frame.name);
  frame.cancelRequested = true;
  frame.cancel();
}

bool DriverAnswerStep() {
  auto& modals = S().modals;
  if (modals.empty()) return false;
  ModalFrame& f = *modals.back();
  if (f.ended) return false;
  if (!f.pending.empty()) {
    Action a = f.pending.front();
    f.pending.pop_front();
    std::string error;
    if (!f.apply(a, error)) {
      Fail(a.line, (f.isBox ? std::string("box: ") : f.name + ": ") + error);
      f.pending.clear();
      f.cancelRequested = true;
      f.cancel();
    }
    return true;
  }
  if (!D().active) return false;
  if (f.dialog && HasTimer(f.dialog)) return false;  // a self-closing dialog waits for its timer
  // The answer ran out and the dialog still waits for the user.
  if (!f.cancelRequested) {
    Unanswered(f.isBox ? "unanswered box " + QuoteForLog(f.name) : "unanswered dialog " + f.name);
    f.cancelRequested = true;
    f.cancel();
    return true;
  }
  if (f.forceEnd) f.forceEnd();  // a cancel the dialog ignored
  return true;
}

void DriverFrameEnded(ModalFrame& frame) {
  if (!D().active || frame.pending.empty()) return;
  Fail(frame.pending.front().line,
       (frame.isBox ? std::string("box") : frame.name) + ": the dialog ended before this action");
  frame.pending.clear();
}

bool DriverIdleStep() {
  Driver& d = D();
  if (!d.active) return false;
  bool outer = S().modals.empty();
  if (d.status != 0 || d.quitStage > 0) return outer && QuitStep();
  while (d.next < d.lines.size() &&
         (d.lines[d.next].kind == ScriptLine::Kind::Answer || d.lines[d.next].kind == ScriptLine::Kind::Box))
    Queue(d.lines[d.next++]);
  if (d.next >= d.lines.size()) return outer && QuitStep();  // the end of the script is "quit"
  const ScriptLine& line = d.lines[d.next];
  if (line.kind == ScriptLine::Kind::Quit && !outer) return false;
  ++d.next;
  RunLine(line);
  return true;
}

}  // namespace ui::detail
