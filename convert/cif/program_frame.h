// What wcalexp and wcalimp share on the utility frame: the menu with its accelerators and toolbar,
// the help file, the set-up file's groups (the slots, then the five text templates) and the SETUP
// dialog ("Conversion Setup"), whose text template is a combo box listing the remembered templates.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "utilib/frame/frame.h"

namespace cif {

constexpr int kTemplateCombo = 109;

// 1 on OK: the slots stored and normalised, a typed template moved to the top of `templates`;
// 0 on Cancel or close.
int RunCifSetupDialog(std::vector<std::string>& slots, const std::vector<int>& checkSlots,
                      std::vector<std::string>& templates, const std::function<void()>& normalise);

// Help, Read, Setup and Go (10 to 13) with their accelerators and toolbar, the set-up groups and
// the Setup command; `checkSlots` are the Y/N slots shown as check boxes.
void DescribeCifProgram(utilib::UtilityProgram& p, std::vector<std::string>& slots,
                        std::vector<std::string>& templates, std::vector<int> checkSlots,
                        std::function<void()> normalise);

}  // namespace cif
