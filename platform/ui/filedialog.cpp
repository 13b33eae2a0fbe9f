// The file-open dialog: Qt's own (never the desktop's), run by our modal loop. A scripted answer types
// the name and presses Ok; the name must then lead to a file when the dialog asks for one.
#include "platform/ui/filedialog.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

#include "platform/os/path.h"
#include "platform/ui/internal.h"
#include "platform/ui/program.h"

namespace ui {

using namespace detail;

namespace {

// "*.pcx" finds "X_1_1.PCX" too.
QString CaseBlind(const std::string& patterns) {
  QString out;
  for (char c : patterns) {
    if (std::isalpha(static_cast<unsigned char>(c))) {
      out += QString("[%1%2]").arg(QChar(std::tolower(c))).arg(QChar(std::toupper(c)));
    } else {
      out += QChar(c);
    }
  }
  out.replace(';', ' ');
  return out;
}

}  // namespace

bool ChooseFileToOpen(const OpenFileOptions& options, std::string& path) {
  EnsureApp();
  QString folder = options.folder.empty() ? QDir::currentPath() : Q(os::NativePath(options.folder));
  QPointer<QFileDialog> fd = new QFileDialog(nullptr, Q(options.title), folder);
  fd->setOption(QFileDialog::DontUseNativeDialog);
  fd->setAcceptMode(QFileDialog::AcceptOpen);
  fd->setFileMode(options.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  QStringList filters;
  for (const auto& [description, patterns] : options.filters)
    filters << Q(description) + " (" + CaseBlind(patterns) + ")";
  if (!filters.isEmpty()) fd->setNameFilters(filters);
  if (!options.defaultExtension.empty()) fd->setDefaultSuffix(Q(options.defaultExtension));

  Record* ownerTop = TopOf(options.owner);
  Wnd ownerHandle = ownerTop ? ownerTop->handle : 0;
  bool disabled = ownerTop && ownerTop->enabled;
  if (disabled) Enable(ownerHandle, false);

  ModalFrame frame;
  frame.name = "OPENFILE";
  std::string chosen;
  auto end = [&](int result) {
    if (frame.ended) return;
    frame.ended = true;
    frame.result = result;
  };
  QObject::connect(fd, &QDialog::finished, fd, [&, fd](int r) {
    if (r && fd && !fd->selectedFiles().isEmpty()) chosen = B(fd->selectedFiles().front());
    end(r ? 1 : 0);
  });
  frame.apply = [&, fd](const Action& a, std::string& error) {
    if (!fd) return false;
    if (a.kind == Action::Kind::Set && a.id == kOpenFileName) {
      if (auto* edit = fd->findChild<QLineEdit*>("fileNameEdit")) edit->setText(Q(a.text));
      return true;
    }
    if (a.kind == Action::Kind::Press && a.id == kIdCancel) {
      end(0);
      return true;
    }
    if (a.kind == Action::Kind::Press && a.id == kIdOk) {
      auto* edit = fd->findChild<QLineEdit*>("fileNameEdit");
      std::string typed = edit ? B(edit->text()) : std::string();
      if (typed.empty()) {
        error = "no file name";
        return false;
      }
      std::string full = typed[0] == '/' || typed[0] == '\\' || (typed.size() > 1 && typed[1] == ':')
                             ? typed
                             : B(fd->directory().absolutePath()) + "/" + typed;
      if (!options.defaultExtension.empty() && full.find('.', full.find_last_of("/\\") + 1) == std::string::npos)
        full += "." + options.defaultExtension;
      std::string native = os::NativePath(full);
      if (native.empty()) native = full;
      if (options.mustExist && !os::FileExists(native)) {
        error = "no file " + full;
        return false;
      }
      chosen = native;
      end(1);
      return true;
    }
    error = "the file dialog takes set 100, press ok and press cancel";
    return false;
  };
  frame.cancel = [&] { end(0); };
  frame.forceEnd = [&] { end(0); };

  S().modals.push_back(&frame);
  LogLine("dialog OPENFILE");
  fd->show();
  PlaceCentred(fd, "OPENFILE", options.owner);
  DriverDialogOpened(frame, false);
  RunModal(frame);
  delete fd.data();
  if (disabled && Find(ownerHandle)) Enable(ownerHandle, true);
  if (frame.result) path = chosen;
  return frame.result != 0;
}

}  // namespace ui
