#include "utilib/throttled_ui.h"

#include <time.h>

namespace utilib {

namespace {

// Milliseconds of the coarse monotonic clock: a job asks it for every count it sets, and the coarse
// clock is read without asking the device (its steps of a few milliseconds are fine against 100).
std::uint32_t Now() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC_COARSE, &ts);
  return static_cast<std::uint32_t>(static_cast<std::uint64_t>(ts.tv_sec) * 1000u +
                                    static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u);
}

}  // namespace

ThrottledUi::ThrottledUi(tell::Talk& inner, std::set<int> heldTexts, std::uint32_t intervalMs)
    : inner_(inner), heldTexts_(std::move(heldTexts)), interval_(intervalMs), last_(Now()) {
  slots_.fill(-1);
}

ThrottledUi::Item* ThrottledUi::Find(int id) {
  if (id >= 0 && id < static_cast<int>(slots_.size())) {
    const int slot = slots_[static_cast<std::size_t>(id)];
    return slot < 0 ? nullptr : &items_[static_cast<std::size_t>(slot)];
  }
  for (Item& item : items_)
    if (item.id == id) return &item;
  return nullptr;
}

ThrottledUi::Item& ThrottledUi::Held(int id) {
  if (Item* item = Find(id)) return *item;
  if (id >= 0 && id < static_cast<int>(slots_.size()))
    slots_[static_cast<std::size_t>(id)] = static_cast<std::int16_t>(items_.size());
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
  if (Now() - last_ >= interval_) Flush();
}

void ThrottledUi::Flush() {
  for (Item& item : items_)
    if (item.pending) Show(item);
  last_ = Now();
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
    const std::uint32_t now = Now();
    if (paused_ && now - lastPause_ < interval_) return false;
    paused_ = true;
    lastPause_ = now;
  }
  Flush();
  return inner_.Pause(milliseconds);
}

}  // namespace utilib
