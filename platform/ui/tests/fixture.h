// Shared pieces of the platform/ui tests: a clean slate per test, a recording window class, and the Qt
// widgets behind our windows for feeding device events.
#pragma once
#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>
#include <QWindow>
#include <string>
#include <vector>

#include "platform/ui/program.h"
#include "platform/ui/tests/log_lines.h"
#include "platform/ui/window.h"

namespace uitest {

struct Seen {
  ui::Wnd wnd;
  ui::Message message;
  ui::WParam wParam;
  ui::LParam lParam;
};

class UiTest : public ::testing::Test {
 protected:
  void SetUp() override { ui::ResetForTests(); }
  void TearDown() override { ui::ResetForTests(); }

  // A top-level window of a class whose procedure records everything and hands it to `extra` first
  // (a nonzero answer from `extra` is the answer).
  ui::Wnd MakeRecorded(unsigned classStyle = 0,
                       std::function<ui::Result(ui::Wnd, ui::Message, ui::WParam, ui::LParam)> extra = {},
                       int width = 320, int height = 240) {
    ui::WindowClass c;
    c.name = "RECORDED";
    c.style = classStyle;
    c.background = 0x000000;
    c.proc = [this, extra](ui::Wnd w, ui::Message m, ui::WParam wp, ui::LParam lp) -> ui::Result {
      seen.push_back({w, m, wp, lp});
      if (extra) {
        if (ui::Result r = extra(w, m, wp, lp)) return r;
      }
      return ui::DefaultProc(w, m, wp, lp);
    };
    ui::DefineClass(c);
    return ui::MakeWindow("RECORDED", "Recorded", ui::style::Caption | ui::style::SysMenu, 0, 0, width, height, 0);
  }

  // Dispatches until nothing is ready; false when a Quit came.
  bool Drain() {
    ui::Msg m;
    while (ui::PeekMessage(m)) {
      if (m.message == ui::msg::Quit) return false;
      ui::TranslateKeys(m);
      ui::Dispatch(m);
    }
    return true;
  }

  std::vector<ui::Message> Messages(ui::Wnd w, std::initializer_list<ui::Message> only = {}) const {
    std::vector<ui::Message> out;
    for (const Seen& s : seen) {
      if (s.wnd != w) continue;
      if (only.size() && std::find(only.begin(), only.end(), s.message) == only.end()) continue;
      out.push_back(s.message);
    }
    return out;
  }

  std::vector<Seen> seen;
};

// The Qt widget showing window `w` (its client picture for top-level windows).
inline QWidget* WidgetOf(ui::Wnd w) {
  for (QWidget* widget : QApplication::allWidgets())
    if (widget->property("_mero_wnd").toUInt() == w && std::string(widget->metaObject()->className()) != "TopWidget" &&
        !widget->isWindow())
      return widget;
  for (QWidget* widget : QApplication::allWidgets())
    if (widget->property("_mero_wnd").toUInt() == w) return widget;
  return nullptr;
}

std::string TempPath(const std::string& name);

}  // namespace uitest
