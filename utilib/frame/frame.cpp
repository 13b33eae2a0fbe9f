#include "utilib/frame/frame.h"

#include "editor/tlc/dialogs/tlc_dialogs.h"
#include "editor/ui/suite_drive.h"
#include "platform/gfx/canvas.h"
#include "platform/os/process.h"
#include "platform/ui/dialog.h"
#include "platform/ui/keys.h"
#include "platform/ui/program.h"
#include "platform/ui/talk_box.h"
#include "platform/ui/window.h"
#include "utilib/frame/dialogs.h"
#include "utilib/throttled_ui.h"

namespace utilib {

namespace {

constexpr std::uint32_t kButtonFace = 0xC0C0C0;

// The running utility: its windows and the talk its jobs talk through.
class Frame final : public ui::WindowTalk {
 public:
  explicit Frame(UtilityProgram& p) : program(p) {}

  UtilityProgram& program;
  ui::Wnd main = 0;
  ui::Wnd toolbar = 0;
  tlc::ProgressDisplay display;
  ReaderLists readers;
  Job* job = nullptr;  // while Go runs
  std::vector<gfx::Surface> bitmaps;

  void SetItemText(int item, std::string_view text) override { display.SetItem(item, text); }
  void SetDisplayTitle(std::string_view text) override {
    if (display.handle()) ui::SetTitle(display.handle(), text);
  }
  bool Pause(int milliseconds) override {
    // PAUSE is owned by the main window, so no command of it can start while the job yields.
    return tlc::ShowPause(main, milliseconds, program.pauseCloseAborts) || display.closed();
  }

  SetupFile Setup() {
    return SetupFile{program.setupFile, program.version, program.groups, program.readerPairs ? &readers : nullptr,
                     program.groupsAfterReaders};
  }
  void ReadSetup() {
    Setup().Read();
    if (program.normalise) program.normalise();
  }
  void WriteSetup() {
    if (program.normalise) program.normalise();
    Setup().Write();  // a file that cannot be made is not reported
  }
  void Tell(std::string_view text) { Box(program.name, text); }

  ui::Result MainProc(ui::Wnd w, ui::Message m, ui::WParam wp, ui::LParam lp);
  void Help();
  void Read();
  void Go();
  int RunJob(std::string_view displayTemplate, const std::string& title, const std::function<int(Job&)>& body);
  void MakeBitmaps();
};

Frame* current = nullptr;

void Frame::MakeBitmaps() {
  auto font = gfx::UiFont();
  for (const auto& [id, word] : program.toolbar) {
    (void)id;
    // A word wider than the template's button gets a wider picture, and its button with it.
    gfx::Surface s(std::max(48, font->Measure(word).cx + 8), 20, kButtonFace);
    gfx::Canvas c(s);
    c.SetFont(font);
    c.SetTextColor(0x000000);
    c.SetBackgroundColor(kButtonFace);
    c.TextOut(4, 3, word);
    bitmaps.push_back(std::move(s));
  }
}

void Frame::Help() {
  int pid = os::SpawnProgram(edui::SuitePath("Whpv.EXE"), {edui::SuitePath(program.helpFile)});
  if (pid == -1) Tell("Can't Find Help");
}

void Frame::Read() {
  if (RunReaderDialog(main, readers, program.name) != 1) return;
  if (os::SpawnProgram(readers.programs[0], {readers.files[0]}) == -1) {
    Tell("Can't Find Reader Program");
    return;
  }
  WriteSetup();
}

int Frame::RunJob(std::string_view displayTemplate, const std::string& title, const std::function<int(Job&)>& body) {
  ThrottledUi shown(*this, program.heldItems);
  if (program.holdInstantPauses) shown.HoldInstantPauses([](int milliseconds) { return ui::ScaledPause(milliseconds) == 0; });
  Job run(program.name, shown);
  run.rotatingPauseMs = program.rotatingPauseMs;
  job = &run;
  display.onClose = [this] {
    if (job) job->abort = true;
  };
  display.confirmClose = nullptr;
  if (!program.displayCloseQuestion.empty())
    display.confirmClose = [this] {
      return Box(program.name, program.displayCloseQuestion, tell::Buttons::OkCancel) == tell::Answer::Ok;
    };
  display.extra = program.displayMessages;
  display.Open(main, title, displayTemplate);
  const int result = body ? body(run) : 0;
  CloseReport(run);
  job = nullptr;
  shown.Flush();
  display.Close();
  return result;
}

void Frame::Go() {
  RunJob(program.displayTemplate, program.displayTitle ? program.displayTitle() : std::string(), [this](Job& run) {
    const int result = program.go ? program.go(run) : 0;
    ReportJobEnd(run, result, result == 1 && program.completion ? program.completion() : "Completed ...");
    return result;
  });
}

ui::Result Frame::MainProc(ui::Wnd w, ui::Message m, ui::WParam wp, ui::LParam lp) {
  switch (m) {
    case ui::msg::Create:
      main = owner = w;
      edui::FindSuiteDrive([this](const char* text) { Tell(text); });
      ReadSetup();
      if (program.start && !program.start()) ui::Post(w, ui::msg::Close);
      return 0;
    case ui::msg::Destroy:
      ui::PostQuit(0);
      return 0;
    case ui::msg::Char:
      if (program.character && program.character(static_cast<int>(wp))) return 0;
      if (wp == 3 && !program.credit.empty()) Tell(program.credit);
      return 0;
    case ui::msg::KeyDown:
      // An Esc that reaches the window while Go yields stops the job at its next check.
      if (wp == ui::key::Escape && job) job->abort = true;
      return 0;
    case ui::msg::Command: {
      int id = ui::LowWord(wp);
      if (id == program.helpId) Help();
      else if (id == program.readId) Read();
      else if (id == program.goId) Go();
      else if (program.command && program.command(id)) WriteSetup();
      return 0;
    }
  }
  return ui::DefaultProc(w, m, wp, lp);
}

}  // namespace

ui::Wnd UtilityWindow() { return current ? current->main : 0; }
ReaderLists& UtilityReaders() {
  static ReaderLists none;
  return current ? current->readers : none;
}
void WriteUtilitySetup() {
  if (current) current->WriteSetup();
}
int RunUtilityJob(std::string_view displayTemplate, const std::function<int(Job&)>& body) {
  return current ? current->RunJob(displayTemplate, std::string(), body) : 0;
}

int RunUtility(UtilityProgram& program, int argc, char** argv) {
  ui::InitProgram(argc, argv, program.templates);
  Frame frame(program);
  current = &frame;
  frame.readers.SetDefaults(program.reportFile);
  frame.MakeBitmaps();

  ui::DefineClass({program.name, [&frame](ui::Wnd w, ui::Message m, ui::WParam wp, ui::LParam lp) {
                     return frame.MainProc(w, m, wp, lp);
                   },
                   ui::cls::Redraw, kButtonFace});
  const UtilityProgram::Place place = program.place ? program.place() : UtilityProgram::Place{};
  int width = 11 * ui::SystemMetric(ui::Metric::MenuButtonWidth);
  int height = 4 * ui::SystemMetric(ui::Metric::MenuHeight);
  ui::Wnd main = ui::MakeWindow(program.name, program.name + " 6.0",
                                ui::style::Caption | ui::style::SysMenu | ui::style::MinimizeBox, place.left,
                                place.top, width, height, 0);
  if (!main) return 1;
  ui::SetMenuBar(main, program.menu);
  frame.toolbar = ui::OpenPanel(program.toolbarTemplate, main, [&frame](ui::Wnd d, ui::Message m, ui::WParam wp, ui::LParam) -> ui::Result {
    if (m == ui::msg::InitDialog) {
      ui::Rect client = ui::ClientRect(frame.main);
      ui::Rect bar = ui::ClientRect(d);
      ui::Move(d, 0, 0, client.Width(), bar.Height());
      // The shared bar has buttons 10 to 16; a program uses the first few of them.
      for (int id = 10; id <= 16; ++id) ui::EnableItem(d, id, false);
      for (std::size_t i = 0; i < frame.program.toolbar.size(); ++i) {
        ui::EnableItem(d, frame.program.toolbar[i].first, true);
        ui::SetButtonImage(d, frame.program.toolbar[i].first, frame.bitmaps[i]);
      }
      int x = ui::ItemRect(d, 10).left;
      const int lastUsed = frame.program.toolbar.empty() ? 9 : frame.program.toolbar.back().first;
      for (int id = 10; id <= 16; ++id) {
        ui::Rect at = ui::ItemRect(d, id);
        // the shared bar's buttons behind the program's last one do not show
        int width = id > lastUsed ? 0 : at.Width();
        for (std::size_t i = 0; i < frame.program.toolbar.size(); ++i)
          if (frame.program.toolbar[i].first == id) width = std::max(width, frame.bitmaps[i].width);
        ui::MoveItem(d, id, x, at.top, width, at.Height());
        x += width + 2;
      }
      return 1;
    }
    if (m == ui::msg::Command) {
      // A button does exactly what its menu entry does.
      ui::Send(frame.main, ui::msg::Command, ui::MakeWParam(ui::LowWord(wp), 0), 0);
      return 1;
    }
    return 0;
  });
  if (frame.toolbar && !program.toolbar.empty()) {
    // Word buttons are wider than pictures were: widen the window until the last one shows.
    ui::Rect last = ui::ItemRect(frame.toolbar, program.toolbar.back().first);
    ui::Rect client = ui::ClientRect(main);
    int missing = last.right + 2 - client.Width();
    const int wantedWidth = std::max(width + std::max(0, missing), place.roomWidth);
    // caption and menu bar over the client area, the toolbar at its top, the room below it
    const int bars = height - client.Height() + ui::ClientRect(frame.toolbar).Height();
    const int wantedHeight = place.roomHeight > 0 ? std::max(height, bars + place.roomHeight) : height;
    if (wantedWidth != width || wantedHeight != height) {
      const ui::Rect at = ui::WindowRect(main);
      ui::Move(main, at.left, at.top, wantedWidth, wantedHeight);
      ui::Move(frame.toolbar, 0, 0, ui::ClientRect(main).Width(), ui::ClientRect(frame.toolbar).Height());
    }
  }
  ui::Focus(main);
  ui::Show(main, ui::show::Normal);
  ui::UpdateNow(main);
  int code = ui::RunMessageLoop(main, &program.accelerators, frame.display.handleSlot());
  frame.bitmaps.clear();
  current = nullptr;
  int status = ui::ScriptStatus();
  return status ? status : code;
}

}  // namespace utilib
