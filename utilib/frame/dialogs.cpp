#include "utilib/frame/dialogs.h"

#include "editor/tlc/dialogs/tlc_dialogs.h"
#include "platform/ui/talk_box.h"
#include "platform/ui/dialog.h"
#include "platform/ui/filedialog.h"

namespace utilib {

int RunReaderDialog(ui::Wnd owner, ReaderLists& lists, std::string_view caption) {
  std::string cap(caption);
  return ui::RunDialog("READER", owner, [&](ui::Wnd d, ui::Message m, ui::WParam wp, ui::LParam) -> ui::Result {
    if (m == ui::msg::InitDialog) {
      ui::SetItemText(d, kReaderProgram, lists.programs[0]);
      ui::SetItemText(d, kReaderFile, lists.files[0]);
      for (const std::string& p : lists.programs)
        if (ui::ListAdd(d, kReaderProgram, p) < 0) break;
      for (const std::string& f : lists.files)
        if (ui::ListAdd(d, kReaderFile, f) < 0) break;
      return 1;
    }
    if (m != ui::msg::Command) return 0;
    switch (ui::LowWord(wp)) {
      case ui::kIdOk:
        lists.Choose(ui::ItemText(d, kReaderProgram, kSlotLength), ui::ItemText(d, kReaderFile, kSlotLength));
        ui::FinishDialog(d, 1);
        return 1;
      case kReaderClean:
        if (ui::TalkBox(d, cap, "Program and File Lists will be Erased", tell::Buttons::OkCancel) == tell::Answer::Ok)
          lists.Clean();
        ui::FinishDialog(d, 0);
        return 1;
      case ui::kIdCancel:
        ui::FinishDialog(d, 0);
        return 1;
    }
    return 0;
  }) == 1 ? 1 : 0;
}

int RunCellPicker(ui::Wnd owner, const db::CellIndex& index, std::string& picked) {
  return tlc::PickIndexCell(owner, index, picked, "Cell Collection");
}

NewNameAsker NewNameDialog(ui::Wnd owner) {
  return [owner](std::string_view rejected) -> std::optional<std::string> {
    std::string typed;
    std::string refused(rejected);
    int r = ui::RunDialog("NEWNAME", owner, [&](ui::Wnd d, ui::Message m, ui::WParam wp, ui::LParam) -> ui::Result {
      if (m == ui::msg::InitDialog) {
        ui::SetItemText(d, kNewNameText, "Invalid or Duplicate Name: " + refused);
        ui::SetItemText(d, kNewNameEdit, refused);
        // A legal name may have 32 characters: the field takes them all.
        ui::SetItemLimit(d, kNewNameEdit, 32);
        ui::FocusItem(d, kNewNameEdit);
        return 1;
      }
      if (m != ui::msg::Command) return 0;
      return ui::EndOkCancel(d, ui::LowWord(wp), [&] { typed = ui::ItemText(d, kNewNameEdit, 32); });
    });
    if (r != 1) return std::nullopt;
    return typed;
  };
}

bool ChooseMapFile(ui::Wnd owner, std::string& path) {
  ui::OpenFileOptions o;
  o.owner = owner;
  o.title = "Open Map File";
  o.filters = {{"PCX Files", "*.pcx"}};
  o.defaultExtension = "pcx";
  o.mustExist = true;
  return ui::ChooseFileToOpen(o, path);
}

}  // namespace utilib
