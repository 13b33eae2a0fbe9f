// Names of the database files as they are created: the file name in proper case ("Cells6.dbd",
// "Nand2.bp6"), the folders as given, since the path resolver finds existing folders whatever their
// case and a POSIX folder must keep its spelling.
#pragma once
#include <string>
#include <string_view>

namespace db {

std::string FileNameForWrite(std::string_view path);

// "%s%s.BP6" and the like: folder (empty or ending in a separator), cell name, extension with its dot.
std::string CellFilePath(std::string_view folder, std::string_view name, std::string_view extension);

}  // namespace db
