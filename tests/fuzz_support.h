// What the fuzz targets share: a scratch drive for the files an input becomes, and the replay of a
// regressions folder by the tests.
#pragma once
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>

#include "platform/os/path.h"

namespace fuzzsupport {

// A folder of this process standing as drive C: (with an empty MERO6 beside the work folder W),
// made once; the work folder is the current folder after Enter().
class ScratchDrive {
 public:
  static ScratchDrive& Get() {
    static ScratchDrive drive;
    return drive;
  }
  // While it lives, the work folder (emptied first) is the current folder; then the one before is
  // current again, so the fuzzer's own relative paths keep working.
  class Visit {
   public:
    explicit Visit(const std::string& folder) {
      std::error_code ec;
      saved_ = std::filesystem::current_path(ec);
      std::filesystem::current_path(folder, ec);
    }
    ~Visit() {
      std::error_code ec;
      std::filesystem::current_path(saved_, ec);
    }
    Visit(const Visit&) = delete;
    Visit& operator=(const Visit&) = delete;

   private:
    std::filesystem::path saved_;
  };
  // Empties the work folder and puts the drive table back; the folder is current while the visit lasts.
  [[nodiscard]] Visit Enter() {
    os::SetDriveTable("C=" + root_);
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(work_, ec))
      std::filesystem::remove_all(entry.path(), ec);
    return Visit(work_);
  }
  void Write(const std::string& name, std::string_view bytes) const {
    std::ofstream out(work_ + "/" + name, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  const std::string& Root() const { return root_; }
  const std::string& Work() const { return work_; }

 private:
  ~ScratchDrive() {
    std::error_code ec;
    std::filesystem::current_path("/", ec);
    std::filesystem::remove_all(root_, ec);
  }
  ScratchDrive() {
    // Memory-backed when the system has it: every input is a few files made and removed.
    std::error_code ec;
    const std::filesystem::path base = !std::getenv("TMPDIR") && std::filesystem::is_directory("/dev/shm", ec)
                                           ? std::filesystem::path("/dev/shm")
                                           : std::filesystem::temp_directory_path(ec);
    std::string templ = (base / "merofuzz-XXXXXX").string();
    const char* made = mkdtemp(templ.data());
    root_ = made ? made : "/tmp";
    work_ = root_ + "/W";
    std::filesystem::create_directories(root_ + "/MERO6", ec);
    std::filesystem::create_directories(work_, ec);
  }
  std::string root_, work_;
};

// A new folder of this process for the files an input becomes ("/tmp/PREFIX-XXXXXX/"); the
// current folder where none can be made.
inline std::string MakeScratchFolder(const char* prefix) {
  std::error_code ec;
  std::string templ = (std::filesystem::temp_directory_path(ec) / (std::string(prefix) + "-XXXXXX")).string();
  const char* made = mkdtemp(templ.data());
  return std::string(made ? made : ".") + "/";
}

// Removes what an input left in a scratch folder of MakeScratchFolder.
inline void EmptyFolder(const std::string& folder) {
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) std::filesystem::remove(entry.path(), ec);
}

// An importer's answer when it asks for a new cell name: three names, then none, so that the import
// stops as at a user's Abort and no input asks for ever.
inline std::optional<std::string> NextNewName(int& named) {
  if (++named > 3) return std::nullopt;
  return "FUZZ" + std::to_string(named);
}

using Entry = void (*)(const std::uint8_t* data, std::size_t size);

// Runs every file of `folder` (a README is a note) through `entry`; the number of files run.
inline int ReplayFolder(const std::filesystem::path& folder, Entry entry) {
  int count = 0;
  std::error_code ec;
  const std::filesystem::path saved = std::filesystem::current_path(ec);
  for (const auto& file : std::filesystem::directory_iterator(folder, ec)) {
    if (!file.is_regular_file() || file.path().filename() == "README") continue;
    std::ifstream in(file.path(), std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    const std::string data = bytes.str();
    std::printf("replaying %s\n", file.path().string().c_str());  // named before a crash can hide it
    std::fflush(stdout);
    entry(reinterpret_cast<const std::uint8_t*>(data.data()), data.size());
    ++count;
  }
  std::filesystem::current_path(saved, ec);
  return count;
}

}  // namespace fuzzsupport
