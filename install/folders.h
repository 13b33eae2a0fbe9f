// Folders the installer makes on its way: every missing one along a path.
#pragma once
#include <string_view>

namespace install {

// Makes the folders of `relative` under `base`: each component that ends in "/" or "\" ("d/e/f.txt"
// makes d and d/e). False when one cannot be made or is a file.
bool MakeFolders(std::string_view base, std::string_view relative);
// Every missing folder of a whole path, the last component included.
bool MakeFolderPath(std::string_view path);

}  // namespace install
