#include "utilib/throttled_ui.h"

#include "platform/os/process.h"

namespace utilib {

ThrottledUi::ThrottledUi(tell::Talk& inner, std::set<int> heldTexts, std::uint32_t intervalMs)
    : inner_(inner), heldTexts_(std::move(heldTexts)), interval_(intervalMs), last_(os::TickCount()) {}

ThrottledUi::Item* ThrottledUi::Find(int id) {
  for (Item& item : items_)
    if (item.id == id) return &item;
  return nullptr;
}

ThrottledUi::Item& ThrottledUi::Held(int id) {
  if (Item* item = Find(id)) return *item;
  Item& item = items_.emplace_back();
  item.id = id;
  return item;
}

void ThrottledUi::Show(Item& item) {
  item.pending = false;
  std::string text = item.isNumber ? Format("%lld", item.number) : std::move(item.text);
  if (item.known && text == item.shown) return;
  inner_.SetItemText(item.id, text);
  item.shown = std::move(text);
  item.known = true;
}

void ThrottledUi::FlushWhenDue() {
  if (os::TickCount() - last_ >= interval_) Flush();
}

void ThrottledUi::Flush() {
  for (Item& item : items_)
    if (item.pending) Show(item);
  last_ = os::TickCount();
}

void ThrottledUi::SetItemText(int id, std::string_view text) {
  if (heldTexts_.count(id)) {
    Item& item = Held(id);
    item.pending = true;
    item.isNumber = false;
    item.text = std::string(text);
    FlushWhenDue();
    return;
  }
  inner_.SetItemText(id, text);
  // A text set at once replaces a number still held for the item.
  if (Item* item = Find(id)) {
    item->pending = false;
    item->shown = std::string(text);
    item->known = true;
  }
}

void ThrottledUi::SetItemNumber(int id, long long value) {
  Item& item = Held(id);
  item.pending = true;
  item.isNumber = true;
  item.number = value;
  FlushWhenDue();
}

tell::Answer ThrottledUi::Box(std::string_view caption, std::string_view text, tell::Buttons buttons) {
  Flush();
  return inner_.Box(caption, text, buttons);
}

bool ThrottledUi::Pause(int milliseconds) {
  if (instant_ && instant_(milliseconds)) {
    const std::uint32_t now = os::TickCount();
    if (paused_ && now - lastPause_ < interval_) return false;
    paused_ = true;
    lastPause_ = now;
  }
  Flush();
  return inner_.Pause(milliseconds);
}

}  // namespace utilib
