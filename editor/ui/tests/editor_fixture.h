// The editor in a test: a scratch drive with a suite folder and a drawing folder, the main window made
// by the real start-up over a command table the test chooses, and helpers to drive it with messages
// and scripted dialog answers.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "editor/db/records.h"
#include "editor/db/tests/drawing_folder.h"
#include "editor/ui/editor.h"
#include "editor/ui/editor_talk.h"
#include "platform/ui/types.h"

namespace edtest {

// The database tests' drawing folder, with the editor's own command line.
struct ScratchDrive : dbtest::DrawingFolder {
  ScratchDrive();
};

// A cell written into the drawing folder before the editor starts.
struct CellSpec {
  std::string name;
  int rank = 1;
  std::vector<db::BoxRecord> boxes;
  std::vector<db::CellRefRecord> refs;  // flags hold the row of the referenced cell
};
void WriteCells(const std::vector<CellSpec>& cells);

class EditorTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The main window over `table`, opening `cell` ("" for none).
  void Start(std::span<const edui::CommandEntry> table, const std::string& cell = "");
  // Closes the window as the user would (the exit saves) and lets the editor go.
  void Close();
  // Dispatches until nothing is ready, accelerators applied; false when the program quit.
  bool Drain();
  // Answers for dialogs and boxes ("answer ..." and "box ..." lines), logged to a file. A script
  // closes the main window once it has run out and the program is idle, so a test queues answers
  // right before a synchronous step and ends the script before it drains again.
  void Script(const std::string& text);
  void EndScript();
  std::vector<std::string> Log() const;
  bool Logged(const std::string& line) const;

  ui::Result Send(ui::Message m, ui::WParam w = 0, ui::LParam l = 0);
  void Post(ui::Message m, ui::WParam w = 0, ui::LParam l = 0);
  void Click(int x, int y);
  void Key(unsigned ch);  // a character to the main window
  std::string Field(int id) const;
  std::string Title() const;

  edui::Editor& E() { return *editor; }

  std::unique_ptr<ScratchDrive> drive;
  std::unique_ptr<edui::Editor> editor;
  std::unique_ptr<edui::EditorTalk> talk;
  std::string logPath;
};

}  // namespace edtest
