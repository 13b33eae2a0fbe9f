#include "convert/gds/throttled_ui.h"

#include "platform/os/process.h"

namespace gds {

ThrottledUi::ThrottledUi(utilib::JobUi& inner, std::set<int> heldItems, std::uint32_t intervalMs)
    : inner_(inner), held_(std::move(heldItems)), interval_(intervalMs), last_(os::TickCount()) {}

void ThrottledUi::SetItemText(int item, std::string_view text) {
  if (!held_.count(item)) {
    inner_.SetItemText(item, text);
    return;
  }
  pending_[item] = std::string(text);
  if (os::TickCount() - last_ >= interval_) Flush();
}

void ThrottledUi::Flush() {
  for (const auto& [item, text] : pending_) inner_.SetItemText(item, text);
  pending_.clear();
  last_ = os::TickCount();
}

utilib::BoxAnswer ThrottledUi::MessageBox(std::string_view caption, std::string_view text,
                                          utilib::BoxButtons buttons) {
  Flush();
  return inner_.MessageBox(caption, text, buttons);
}

bool ThrottledUi::Pause(int milliseconds) {
  Flush();
  return inner_.Pause(milliseconds);
}

}  // namespace gds
