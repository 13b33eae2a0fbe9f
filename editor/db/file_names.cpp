#include "editor/db/file_names.h"

#include "editor/db/helpers.h"

namespace db {

std::string FileNameForWrite(std::string_view path) {
  const std::size_t cut = path.find_last_of("\\/:");
  if (cut == std::string_view::npos) return ProperCasePath(path);
  if (cut + 1 == path.size()) return std::string(path);
  return std::string(path.substr(0, cut + 1)) + ProperCasePath(path.substr(cut + 1));
}

std::string CellFilePath(std::string_view folder, std::string_view name, std::string_view extension) {
  std::string path(folder);
  path += name;
  path += extension;
  return path;
}

}  // namespace db
