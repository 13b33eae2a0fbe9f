// The skeleton every utility program shares: a small main window with a menu and a bitmap toolbar,
// the set-up file, Help and Read, and Go running the job with the DISPLAY progress dialog and PAUSE
// yields. A program describes itself in a UtilityProgram and calls RunUtility from main.
#pragma once
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/ui/menu.h"
#include "platform/ui/types.h"
#include "utilib/job.h"
#include "utilib/setup_file.h"

namespace utilib {

struct UtilityProgram {
  std::string name;           // upper case: class, captions ("STRMEXP")
  std::string templates;      // the program's template folder under resources/ui ("wstrmexp")
  std::string setupFile;      // "Strmexp.su6"
  std::string version;        // "6.01"
  std::string helpFile;       // "STRMCONV.HPV", in the suite folder
  std::string reportFile;     // "STRMEXP.RPT": the READER dialog's first file
  std::string credit;         // the Ctrl+C box
  std::vector<ui::MenuItem> menu;
  ui::AcceleratorTable accelerators;
  // The toolbar's template ("TOOLDLG" in the DXF exporter).
  std::string toolbarTemplate = "TOOLBAR";
  // Toolbar buttons: the command id and the word drawn on its bitmap.
  std::vector<std::pair<int, std::string>> toolbar;
  // The set-up file's slot groups and the program's normaliser of them.
  std::vector<std::vector<std::string>*> groups;
  // False for a program without Read: its set-up file holds the settings alone.
  bool readerPairs = true;
  // Slot groups kept after the reader pairs (what older versions of the program did not write).
  std::vector<std::vector<std::string>*> groupsAfterReaders;
  std::function<void()> normalise;
  // After the suite drive and the set-up file: the program's own start-up; false ends the program.
  std::function<bool()> start;
  // The program's own commands (Setup, Text, ...); true when handled. The set-up file is written
  // after a handled command that returns true.
  std::function<bool(int id)> command;
  int helpId = 10, readId = 11, goId = 14;
  // The job: 1 completed, 0 aborted, 2 stopped before it began (its message already shown).
  std::function<int(Job&)> go;
  // The completion text of a job that returned 1.
  std::function<std::string()> completion;
  // DISPLAY's title at Go ("Constructing %s ..." in the converters); empty leaves the template's.
  std::function<std::string()> displayTitle;
  // The progress display's template, and the OK/Cancel question its close box asks before it stops
  // the job (empty: closing stops the job at once).
  std::string displayTemplate = "DISPLAY";
  std::string displayCloseQuestion;
  // The progress display's messages, before the frame's own handling of them (a Cancel button, a
  // picture to paint); true when the program took the message.
  std::function<bool(ui::Wnd, ui::Message, ui::WParam, ui::LParam)> displayMessages;
  // Characters typed at the main window before the frame's own (Ctrl+C); true when handled.
  std::function<bool(int ch)> character;
  // DISPLAY items whose texts change faster than anyone reads them (percentages): shown at a
  // readable rate, as every number is.
  std::set<int> heldItems;
  // Pauses that take no time (a scripted run) are held like those items: a job that pauses on every
  // few message lines then spends no time on the pauses it cannot be seen to make.
  bool holdInstantPauses = false;
  // Closing PAUSE stops the job (the converters); the checker and layer logic only close it.
  bool pauseCloseAborts = true;
  int rotatingPauseMs = 500;
  // Where the main window opens, and the room its client area keeps below the toolbar (0: none, the
  // window is the menu bar and the toolbar alone). Asked once the display is there.
  struct Place {
    int left = 0, top = 0;
    int roomWidth = 0, roomHeight = 0;
  };
  std::function<Place()> place;
};

// The main routine of a utility: runs the program and returns its exit code.
int RunUtility(UtilityProgram& program, int argc, char** argv);

// While RunUtility runs: the main window, the reader lists and the set-up file writer, for the
// program's own dialogs.
ui::Wnd UtilityWindow();
ReaderLists& UtilityReaders();
void WriteUtilitySetup();
// Runs a job of the program's own beside Go (a comparison, a second conversion) with the progress
// display of `displayTemplate` open; the body shows its own end message. The report is closed
// afterwards. Gives the body's result.
int RunUtilityJob(std::string_view displayTemplate, const std::function<int(Job&)>& body);

}  // namespace utilib
