#include "editor/ui/tests/editor_fixture.h"

#include <fstream>
#include <sstream>

#include "editor/db/current_cell.h"
#include "editor/db/database.h"
#include "editor/ui/main_window.h"
#include "platform/os/process.h"
#include "platform/ui/dialog.h"
#include "platform/ui/menu.h"
#include "platform/ui/program.h"
#include "platform/ui/window.h"

namespace edtest {

ScratchDrive::ScratchDrive() { os::SetCommandLineForTests("C:\\MERO6\\wmero", ""); }

namespace {

class RankHooks : public db::Hooks {
 public:
  int rank = 1;
  int NewCellRank(std::string_view) override { return rank; }
};

}  // namespace

void WriteCells(const std::vector<CellSpec>& cells) {
  db::Database d;
  RankHooks hooks;
  d.SetHooks(&hooks);
  ASSERT_EQ(db::OpenCellCollection(d), 1);
  for (const CellSpec& c : cells) {
    hooks.rank = c.rank;
    ASSERT_EQ(db::LoadCell(d, c.name), 1) << c.name;
    for (std::size_t i = 0; i < c.boxes.size(); ++i) d.store.PutBoxRecord(int(i) + 1, c.boxes[i]);
    d.store.boxCount = int(c.boxes.size());
    for (std::size_t i = 0; i < c.refs.size(); ++i) d.store.PutCellRefRecord(0, int(i) + 1, c.refs[i]);
    d.store.refCount[0] = int(c.refs.size());
    ASSERT_EQ(db::SaveOpenCell(d, db::kSaveCellFiles), 1) << c.name;
  }
  d.SetHooks(nullptr);
}

void EditorTest::SetUp() {
  ui::ResetForTests();
  drive = std::make_unique<ScratchDrive>();
  logPath = drive->root + "/editor.log";
}

void EditorTest::TearDown() {
  Close();
  ui::ResetForTests();
  drive.reset();
}

void EditorTest::Start(std::span<const edui::CommandEntry> table, const std::string& cell) {
  editor = std::make_unique<edui::Editor>();
  editor->proto.table = table;
  talk = std::make_unique<edui::EditorTalk>(*editor);
  edui::AttachTalk(*editor, talk.get());
  ASSERT_NE(edui::CreateEditorWindow(*editor, cell), 0u);
  Drain();
}

void EditorTest::Close() {
  if (!editor) return;
  if (ui::IsAlive(editor->main)) {
    ui::Post(editor->main, ui::msg::Close);
    Drain();
  }
  edui::CloseEditor(*editor);
  edui::AttachTalk(*editor, nullptr);
  editor.reset();
  talk.reset();
}

bool EditorTest::Drain() {
  ui::Msg m;
  while (ui::PeekMessage(m)) {
    if (m.message == ui::msg::Quit) return false;
    if (editor && ui::ApplyAccelerators(editor->main, edui::EditorAccelerators(), m)) continue;
    ui::TranslateKeys(m);
    ui::Dispatch(m);
  }
  return true;
}

void EditorTest::Script(const std::string& text) { ASSERT_TRUE(ui::StartScriptForTests(text, logPath)); }

void EditorTest::EndScript() { ui::StartScriptForTests("", ""); }

std::vector<std::string> EditorTest::Log() const {
  std::ifstream in(logPath);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

bool EditorTest::Logged(const std::string& line) const {
  for (const std::string& l : Log())
    if (l == line) return true;
  return false;
}

ui::Result EditorTest::Send(ui::Message m, ui::WParam w, ui::LParam l) { return ui::Send(editor->main, m, w, l); }

void EditorTest::Post(ui::Message m, ui::WParam w, ui::LParam l) { ui::Post(editor->main, m, w, l); }

void EditorTest::Click(int x, int y) {
  Send(ui::msg::MouseMove, 0, ui::MakeLParam(x, y));
  Send(ui::msg::LButtonDown, ui::mouse::Left, ui::MakeLParam(x, y));
}

void EditorTest::Key(unsigned ch) { Send(ui::msg::Char, ch, 0); }

std::string EditorTest::Field(int id) const { return ui::ItemText(editor->panels.bottom, id); }

std::string EditorTest::Title() const { return ui::Title(editor->main); }

}  // namespace edtest

