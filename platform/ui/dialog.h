// Dialogs from templates, and the controls in them.
//
// Templates. A dialog template is a Qt Designer file NAME.ui, NAME being the template name the program
// uses, in capitals (DISPLAY.ui, PAUSE.ui, SETUP.ui). Templates shared by several programs live in
// resources/ui/common/, one program's own in resources/ui/<program>/. A program (or test) embeds its
// folders with one CMake call, mero_ui_templates(<target> <folder>...), e.g.
// mero_ui_templates(wmero common wmero). The lookup takes a template from the program's own folder
// before the common one.
//
// In a template every control the program addresses carries its control id in an int dynamic property
// "id". The root widget's windowTitle is the caption and its size the dialog's size. Controls by class:
//   QPushButton   push button; "default" marks the default button; checkable = push-like toggle;
//                 a bitmap from SetButtonImage
//   QCheckBox, QRadioButton, QGroupBox (its title is its text)
//   QLabel        static text; "\n" breaks lines; "&&" shows "&" and a single "&" is dropped
//   QLineEdit     edit field; maxLength is its length limit
//   QPlainTextEdit multi-line edit (lines come back separated by CR LF)
//   QComboBox     editable (a typed field with a list) or drop-down only
//   QListWidget   list box; isWrapping with flow TopToBottom makes a multi-column list
//   QScrollBar    scroll bar: VScroll/HScroll with every scroll:: code; the program moves the box
//   QProgressBar  progress bar; its text is its value as a number (a percentage item of DISPLAY)
//   QWidget, QFrame owner-painted area: a retained picture (ItemSurface) the dialog procedure draws
//                 in Paint; mouse messages over it go to the dialog in dialog client coordinates
// Enter means Ok and Esc means Cancel (Command kIdOk / kIdCancel) even without such buttons; Enter on a
// focused push button presses that button; Enter in a multi-line edit is a line break.
#pragma once
#include <string>
#include <string_view>

#include "platform/gfx/surface.h"
#include "platform/ui/types.h"

namespace ui {

// A dialog procedure answers nonzero for what it handled. Left alone, Close becomes Command kIdCancel
// and Paint validates.
using DialogProc = std::function<Result(Wnd, Message, WParam, LParam)>;

// Runs a modal dialog: owner disabled, InitDialog with `param`, then a loop that dispatches every posted
// message until FinishDialog; returns its result. -1 when the template does not exist.
int RunDialog(std::string_view templateName, Wnd owner, DialogProc proc, LParam param = 0);
// A modeless dialog in a window of its own, owned by `owner`.
Wnd OpenDialog(std::string_view templateName, Wnd owner, DialogProc proc, LParam param = 0);
// A modeless dialog docked in the client area of `parent` (panels, tool bars, status bars); it sits at
// the template's position until moved (Move, in the parent's client coordinates).
Wnd OpenPanel(std::string_view templateName, Wnd parent, DialogProc proc, LParam param = 0);
// Ends a modal dialog with `result` once the current message is done; a modeless one is destroyed.
bool FinishDialog(Wnd dialog, int result);
// The usual ending of a dialog's Command: OK runs `take` (reading the fields) and ends with 1, Cancel
// ends with 0. True when `id` was one of the two.
bool EndOkCancel(Wnd dialog, int id, const std::function<void()>& take = {});
// A modeless dialog's messages: dispatches `msg` to it when it is the dialog's or one of its controls'
// and answers true; false leaves the message to the caller.
bool RouteDialogMessage(Wnd dialog, const Msg& msg);
// The template name a dialog was made from ("" for other windows).
std::string TemplateName(Wnd dialog);
bool TemplateExists(std::string_view templateName);

// Controls. A missing dialog or control makes every call do nothing (and the getters answer empty).
Wnd Item(Wnd dialog, int id);
int ItemId(Wnd control);
void SetItemText(Wnd dialog, int id, std::string_view text);
// At most maxChars characters.
std::string ItemText(Wnd dialog, int id, std::size_t maxChars = std::string::npos);
void SetItemInt(Wnd dialog, int id, int value);
void CheckItem(Wnd dialog, int id, bool checked);
bool IsItemChecked(Wnd dialog, int id);
void EnableItem(Wnd dialog, int id, bool enable);
void FocusItem(Wnd dialog, int id);
void SetItemLimit(Wnd dialog, int id, int maxChars);
// A value longer than an edit field holds is refused whole, never cut: a user's typing or pasting
// past the field's length leaves the field as it was and shows this text in a box captioned with
// the dialog's caption; a script's `set` of such a value fails its line with it.
std::string FieldTooLongText(int maxChars);
Rect ItemRect(Wnd dialog, int id);  // in the dialog's client coordinates
void MoveItem(Wnd dialog, int id, int x, int y, int width, int height);
void SetButtonImage(Wnd dialog, int id, const gfx::Surface& image);

// List boxes and the lists of combo boxes. Rows are 0-based; -1 means none.
void ListClear(Wnd dialog, int id);
int ListAdd(Wnd dialog, int id, std::string_view text);  // the new row, -1 when it cannot be added
int ListCount(Wnd dialog, int id);
int ListSelection(Wnd dialog, int id);
void ListSelect(Wnd dialog, int id, int row);
std::string ListText(Wnd dialog, int id, int row);
void ListColumnWidth(Wnd dialog, int id, int pixels);

// Scroll bars.
void SetScrollRange(Wnd dialog, int id, int minimum, int maximum);
void SetScrollPage(Wnd dialog, int id, int page);
void SetScrollPos(Wnd dialog, int id, int position);
int ScrollPos(Wnd dialog, int id);

// Progress bars.
void SetProgressRange(Wnd dialog, int id, int minimum, int maximum);
void SetProgress(Wnd dialog, int id, int value);

// Owner-painted areas: their picture, and a request for the dialog's Paint.
gfx::Surface* ItemSurface(Wnd dialog, int id);
void InvalidateItem(Wnd dialog, int id);

}  // namespace ui
