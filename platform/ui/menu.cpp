// Menu bars of plain items and accelerator tables.
#include "platform/ui/menu.h"

#include <QAction>
#include <QMenuBar>
#include <cctype>

#include "platform/ui/internal.h"

namespace ui {

using namespace detail;

namespace {

QAction* FindAction(Wnd w, int id) {
  Record* r = Find(w);
  if (!r || !r->menuBar) return nullptr;
  for (QAction* a : r->menuBar->actions())
    if (!a->isSeparator() && a->data().toInt() == id) return a;
  return nullptr;
}

}  // namespace

void SetMenuBar(Wnd w, const std::vector<MenuItem>& items) {
  Record* r = Find(w);
  if (!r || r->kind != Kind::Top || !r->window) return;
  OwnGeometry own;
  if (!r->menuBar) {
    r->menuBar = new QMenuBar(r->window);
    r->menuBar->setNativeMenuBar(false);
  }
  r->menuBar->clear();
  for (const MenuItem& item : items) {
    if (item.id == 0) {
      r->menuBar->addSeparator();
      continue;
    }
    QAction* a = r->menuBar->addAction(Q(item.text));
    a->setData(item.id);
    int id = item.id;
    QObject::connect(a, &QAction::triggered, a,
                     [w, id] { PostInput(w, msg::Command, MakeWParam(id, notify::Clicked), 0); });
  }
  r->menu = items;
  r->menuBar->show();
  LayoutTop(*r);
  ClientChanged(*r, true);
}

void SetMenuItemText(Wnd w, int id, std::string_view text) {
  if (QAction* a = FindAction(w, id)) a->setText(Q(text));
  if (Record* r = Find(w))
    for (MenuItem& m : r->menu)
      if (m.id == id) m.text = std::string(text);
}

void EnableMenuItem(Wnd w, int id, bool enable) {
  if (QAction* a = FindAction(w, id)) a->setEnabled(enable);
}

int MenuMnemonic(Wnd w, char ch) {
  Record* r = Find(w);
  if (!r) return 0;
  int wanted = std::tolower(static_cast<unsigned char>(ch));
  for (const MenuItem& m : r->menu) {
    const std::string& t = m.text;
    for (std::size_t i = 0; i + 1 < t.size(); ++i) {
      if (t[i] != '&') continue;
      if (t[i + 1] == '&') {
        ++i;
        continue;
      }
      if (std::tolower(static_cast<unsigned char>(t[i + 1])) == wanted) {
        QAction* a = FindAction(w, m.id);
        if (!a || a->isEnabled()) return m.id;
      }
      break;
    }
  }
  return 0;
}

bool ApplyAccelerators(Wnd target, const AcceleratorTable& table, const Msg& m) {
  if (m.message != msg::KeyDown && m.message != msg::SysKeyDown) return false;
  if (!Find(target)) return false;
  int k = int(m.wParam);
  unsigned modifiers = unsigned(m.lParam) & (mod::Shift | mod::Control | mod::Alt);
  for (const Accelerator& a : table.entries)
    if (a.key == k && a.modifiers == modifiers) {
      Send(target, msg::Command, MakeWParam(a.id, notify::Accelerator), 0);
      return true;
    }
  return false;
}

}  // namespace ui
