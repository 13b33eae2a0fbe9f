// The clipboard through Qt's; what is put there is a copy of its own.
#include "platform/ui/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>

#include "platform/ui/internal.h"

namespace ui {

using namespace detail;

bool CopyTextToClipboard(std::string_view text) {
  EnsureApp();
  QClipboard* c = QGuiApplication::clipboard();
  if (!c) return false;
  c->setText(Q(text));
  return true;
}

std::string ClipboardText() {
  EnsureApp();
  QClipboard* c = QGuiApplication::clipboard();
  return c ? B(c->text()) : std::string();
}

bool CopyImageToClipboard(const gfx::Surface& image) {
  EnsureApp();
  QClipboard* c = QGuiApplication::clipboard();
  if (!c || image.width <= 0 || image.height <= 0) return false;
  QImage img(reinterpret_cast<const uchar*>(image.pixels.data()), image.width, image.height, image.width * 4,
             QImage::Format_RGB32);
  c->setImage(img.copy());
  return true;
}

gfx::Surface ClipboardImage() {
  EnsureApp();
  QClipboard* c = QGuiApplication::clipboard();
  if (!c) return {};
  QImage img = c->image().convertToFormat(QImage::Format_RGB32);
  if (img.isNull()) return {};
  gfx::Surface s(img.width(), img.height());
  for (int y = 0; y < img.height(); ++y) {
    auto* row = reinterpret_cast<const std::uint32_t*>(img.constScanLine(y));
    for (int x = 0; x < img.width(); ++x) s.Row(y)[x] = row[x] & 0x00FFFFFF;
  }
  return s;
}

}  // namespace ui
