// Program start: the device, the log of what the user would see, the pause scale and the script.
#include "platform/ui/program.h"

#include <QApplication>
#include <QScreen>
#include <QStyleFactory>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/os/path.h"
#include "platform/os/process.h"
#include "platform/os/textfile.h"
#include "platform/ui/internal.h"
#include "platform/ui/keys.h"

namespace ui {
namespace detail {

namespace {

std::string logPath;
// Open while there is a log, so a line costs one write, not an open and a close; each line is
// handed to the file at once, so the log is whole whenever it is read, and however the run ends.
os::TextWriter logFile;
double pauseScale = 1.0;

std::string Absolute(const std::string& path) {
  std::string native = os::NativePath(path);
  if (native.empty()) native = path;
  if (!native.empty() && native[0] != '/') native = os::CurrentFolder() + "/" + native;
  return native;
}

void OpenLog(std::string_view path) {
  logPath.clear();
  logFile.Abandon();
  if (path.empty()) return;
  std::string p = Absolute(std::string(path));
  os::TextWriter out;
  if (!out.Open(p, false, false) || !out.Commit() || !logFile.Open(p, false, true)) {
    std::fprintf(stderr, "MERO_LOG: cannot write %s\n", p.c_str());
    return;
  }
  logPath = p;
}

void ReadPauseScale() {
  const char* scale = std::getenv("MERO_PAUSE_SCALE");
  if (!scale || !*scale) return;
  char* end = nullptr;
  double v = std::strtod(scale, &end);
  if (end != scale && *end == '\0' && v >= 0 && std::isfinite(v)) pauseScale = v;
}

int screenPictures = 0;

// Drops the deferred repaints of every window while nothing is on a screen.
class RepaintDropper : public QObject {
 protected:
  bool eventFilter(QObject*, QEvent* e) override {
    return e->type() == QEvent::UpdateRequest && screenPictures == 0;
  }
};

}  // namespace

bool NoScreen() {
  static const bool offscreen = QGuiApplication::platformName() == QLatin1String("offscreen");
  return offscreen;
}

ScreenPictures::ScreenPictures() { ++screenPictures; }
ScreenPictures::~ScreenPictures() { --screenPictures; }

void EnsureApp() {
  if (QCoreApplication::instance()) return;
  // Pictures are shown pixel for pixel.
  if (!std::getenv("QT_ENABLE_HIGHDPI_SCALING")) setenv("QT_ENABLE_HIGHDPI_SCALING", "0", 1);
  static int argc = 1;
  static char name[] = "mero";
  static char* argv[] = {name, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  (void)app;
  QApplication::setQuitOnLastWindowClosed(false);
  if (QStyle* fusion = QStyleFactory::create("Fusion")) QApplication::setStyle(fusion);
  if (NoScreen()) app->installEventFilter(new RepaintDropper);
  // The device set the user's locale; numbers in files are read and written in the "C" one.
  std::setlocale(LC_NUMERIC, "C");
  // A new screen size reaches every main window as a display change.
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    QObject::connect(screen, &QScreen::geometryChanged, screen, [](const QRect& g) {
      for (auto& [h, r] : S().windows)
        if (r->alive && r->kind == Kind::Top) PostInput(h, msg::DisplayChange, 32, MakeLParam(g.width(), g.height()));
    });
  }
}

}  // namespace detail

using namespace detail;

void InitProgram(int argc, char** argv, std::string_view name) {
  os::InitProcess(argc, argv);
  S().programName = std::string(name);
  EnsureApp();
  DriverSetFolder(os::CurrentFolder());
  if (const char* log = std::getenv("MERO_LOG"); log && *log) OpenLog(log);
  const char* script = std::getenv("MERO_SCRIPT");
  if (!script || !*script) {
    ReadPauseScale();
    return;
  }
  std::string text;
  if (!os::ReadWholeFile(Absolute(script), text)) {
    std::fprintf(stderr, "MERO_SCRIPT: cannot read %s\n", script);
    std::exit(2);
  }
  std::string error;
  if (!DriverStart(text, error)) {
    std::fprintf(stderr, "MERO_SCRIPT %s\n", error.c_str());
    std::exit(2);
  }
  pauseScale = 0;
  ReadPauseScale();
  // A failed script, or else a failed job, ends the run with its status whatever main returns.
  std::atexit([] {
    const int status = RunStatus();
    if (status == 0) return;
    std::fflush(nullptr);
    std::_Exit(status);
  });
}

bool StartScriptForTests(std::string_view scriptText, std::string_view logPathText) {
  EnsureApp();
  DriverSetFolder(os::CurrentFolder());
  OpenLog(logPathText);
  std::string error;
  bool ok = DriverStart(scriptText, error);
  if (!ok) std::fprintf(stderr, "script %s\n", error.c_str());
  pauseScale = DriverActive() ? 0 : 1;
  ReadPauseScale();
  return ok;
}

void ResetForTests() {
  EnsureApp();
  std::string error;
  DriverStart("", error);
  OpenLog("");
  pauseScale = 1.0;
  std::vector<Wnd> all;
  for (auto& [h, r] : S().windows)
    if (r->alive && r->kind != Kind::Control) all.push_back(h);
  for (Wnd h : all) Destroy(h);
  Pump();
  S().queue.clear();
  S().timers.clear();
  S().quitPending = false;
  S().focus = 0;
  S().mainWindow = 0;
  S().pointerCount = 0;
  S().scriptReleases.clear();
  ReleaseAllKeys();
}

bool IsScripted() { return DriverActive(); }
int ScriptStatus() { return DriverStatus(); }
void TellJobFailed() { DriverJobFailed(); }
int RunStatus() {
  if (DriverStatus() != 0) return DriverStatus();
  return DriverActive() && DriverJobHasFailed() ? 1 : 0;
}
double PauseScale() { return pauseScale; }

int ScaledPause(int milliseconds) {
  double v = std::floor(double(milliseconds) * pauseScale + 0.5);
  return v <= 0 ? 0 : v >= 2147483647.0 ? 2147483647 : int(v);
}

void LogLine(std::string_view line) {
  if (logPath.empty()) return;
  logFile.Line(line);
  logFile.Flush();
}

}  // namespace ui
