// The help viewer's work behind its menu: browsing a help file by main and secondary topic through
// LISTER and the HELPER text dialog, choosing another file in FILER, and printing a topic or the
// whole manual after PRINTDLG.
#pragma once
#include <ctime>
#include <string>
#include <vector>

#include "editor/ui/print_setup.h"
#include "helpview/help_file.h"
#include "helpview/help_path.h"
#include "helpview/manual.h"
#include "platform/ui/types.h"
#include "utilib/job.h"

namespace hpv {

// Control ids of the viewer's dialogs.
inline constexpr int kListerList = 200;
inline constexpr int kHelperText = 300, kHelperScroll = 301, kHelperPrint = 302, kHelperNext = 303,
                     kHelperPrevious = 304;
inline constexpr int kFilerPath = 100;
inline constexpr int kPrintDevice = 1144, kPrintPort = 1146, kMarginTop = 1012, kMarginBottom = 1013,
                     kMarginLeft = 1010, kMarginRight = 1011, kFromPage = 1014, kToPage = 1015, kPagesButton = 3,
                     kChangeButton = 4;
inline constexpr int kHelperLines = 29;  // lines the text area shows at a time

// BrowseHelp's answers.
enum Browse { kBrowseBack = 0, kBrowseQuit = 1, kBrowsePrint = 2, kBrowseManual = 3 };
// HELPER's answers.
enum Helper { kHelperBack = 0, kHelperQuit = 1, kHelperForward = 3, kHelperBackward = 4, kHelperPrintTopic = 5 };

struct Viewer {
  HelpPath file;
  std::time_t modified = 0;
  std::string wantedMain;
  std::string wantedSecondary;
  bool mainResolved = false;
  bool secondaryResolved = false;

  TopicIndex index;
  int main = 0;
  int secondary = 0;
  std::vector<std::string> lines;  // of the topic shown
  std::string title;               // of the text dialog

  edui::PrinterSetup printer;
  Margins margins;
  int firstPage = 0;
  int lastPage = 0;
  bool pagesCounted = false;
  int countedLines = 0;  // lines a page held when the pages were counted
};

// Fills the viewer from the command line: the file resolved on the suite drive, the wanted topics.
void StartViewer(Viewer& v, const HelpRequest& request, std::string_view suiteDrive);

// The 26 lines of the viewer's own help.
const std::vector<std::string>& BuiltInHelp();

// The dialogs. Lister: 0 back ("<<"), 1 quit, 2 with `row` a double-clicked row.
int RunLister(ui::Wnd owner, const std::string& title, const std::vector<std::string>& names, int& row);
int RunHelper(ui::Wnd owner, const std::string& title, const std::vector<std::string>& lines);
// The text dialog's size: 624 pixels wide, 32 lines of the fixed face and 40 pixels high.
ui::Rect HelperSize();
// FILER: a new help file (the manual's pages are counted anew either way).
void RunFiler(Viewer& v, ui::Wnd owner, std::string_view suiteDrive);
// PRINTDLG for a topic or the manual: 1 Print or Pages, 0 Cancel or no printer.
int RunPrintDialog(Viewer& v, ui::Wnd owner, bool manual);

// The HELPER text area's top line after a scroll-bar code (0..7) and thumb position.
int ScrollHelper(int top, int lines, int code, int thumb);

// Browsing; `ui` tells the user what went wrong. Gives a Browse answer.
int BrowseHelp(Viewer& v, ui::Wnd window, bool manual, tell::Talk& ui);
// Printing the topic last shown, and the manual of the file last indexed.
void PrintTopic(Viewer& v, ui::Wnd window, tell::Talk& ui);
void PrintManual(Viewer& v, ui::Wnd window, tell::Talk& ui);

// The names of the main topics, and of main topic m's secondary topics, as LISTER shows them.
std::vector<std::string> MainTopicNames(const TopicIndex& index);
std::vector<std::string> SecondaryTopicNames(const TopicIndex& index, int m);

}  // namespace hpv
