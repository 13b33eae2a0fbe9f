// Message boxes on Qt's box, run by our own modal loop so posted messages keep flowing.
#include "platform/ui/box.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <vector>

#include "platform/ui/internal.h"
#include "platform/ui/program.h"

namespace ui {

using namespace detail;

int ShowBox(Wnd owner, std::string_view text, const char* caption, BoxButtons buttons) {
  EnsureApp();
  LogLine("box " + QuoteForLog(caption ? caption : "") + " " + QuoteForLog(text));
  if (tell::IsFailureEnding(text)) TellJobFailed();

  QPointer<QMessageBox> box = new QMessageBox;
  box->setWindowTitle(caption ? QString::fromLatin1(caption) : QString("Error"));
  box->setTextFormat(Qt::PlainText);
  box->setText(Q(text));
  box->setIcon(QMessageBox::NoIcon);
  struct Choice {
    QMessageBox::StandardButton button;
    int result;
  };
  std::vector<Choice> choices;
  switch (buttons) {
    case BoxButtons::Ok:
      choices = {{QMessageBox::Ok, kIdOk}};
      break;
    case BoxButtons::OkCancel:
      choices = {{QMessageBox::Ok, kIdOk}, {QMessageBox::Cancel, kIdCancel}};
      break;
    case BoxButtons::YesNo:
      choices = {{QMessageBox::Yes, kIdYes}, {QMessageBox::No, kIdNo}};
      break;
    case BoxButtons::YesNoCancel:
      choices = {{QMessageBox::Yes, kIdYes}, {QMessageBox::No, kIdNo}, {QMessageBox::Cancel, kIdCancel}};
      break;
  }
  for (const Choice& c : choices) box->addButton(c.button);
  // Closing or Esc: Cancel when there is one, else the last button (Ok, or No).
  int closeResult = choices.back().result;
  for (const Choice& c : choices)
    if (c.result == kIdCancel) closeResult = kIdCancel;
  box->setDefaultButton(choices.front().button);
  for (const Choice& c : choices)
    if (c.result == closeResult) box->setEscapeButton(c.button);

  ModalFrame frame;
  frame.isBox = true;
  frame.name = std::string(text);
  auto finish = [&frame](int result) {
    if (frame.ended) return;
    frame.ended = true;
    frame.result = result;
  };
  QObject::connect(box, &QMessageBox::buttonClicked, box, [&, box](QAbstractButton* b) {
    for (const Choice& c : choices)
      if (box && box->button(c.button) == b) finish(c.result);
  });
  QObject::connect(box, &QDialog::finished, box, [&] { finish(closeResult); });
  frame.apply = [&, box](const Action& a, std::string& error) {
    for (const Choice& c : choices)
      if (c.result == a.id && box) {
        box->button(c.button)->click();
        return true;
      }
    // A box without Cancel takes "cancel" as its closing answer.
    if (a.id == kIdCancel && box) {
      box->escapeButton()->click();
      return true;
    }
    error = "the box has no such button";
    return false;
  };
  frame.cancel = [&, box] {
    if (box && box->escapeButton()) box->escapeButton()->click();
    finish(closeResult);
  };
  frame.forceEnd = [&] { finish(closeResult); };

  // Modal to the whole program: a re-entered handler must not run under the one that asked.
  std::vector<Wnd> disabled;
  for (auto& [h, r] : S().windows)
    if (r->alive && r->enabled &&
        (r->kind == Kind::Top || (r->kind == Kind::Dialog && r->dialogKind != DialogKind::Docked))) {
      disabled.push_back(h);
    }
  for (Wnd h : disabled) Enable(h, false);
  Wnd previousFocus = S().focus;

  S().modals.push_back(&frame);
  box->show();
  PlaceCentred(box, "BOX", owner);
  box->activateWindow();
  DriverDialogOpened(frame, false);
  RunModal(frame);

  delete box.data();
  for (Wnd h : disabled)
    if (Find(h)) Enable(h, true);
  if (Find(previousFocus)) Focus(previousFocus);
  return frame.result;
}

}  // namespace ui
