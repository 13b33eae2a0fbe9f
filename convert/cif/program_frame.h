// The SETUP dialog ("Conversion Setup") of both CIF programs: one control per slot, check boxes for
// the Y/N slots, and the text template as a combo box that lists the remembered templates.
#pragma once
#include <functional>
#include <string>
#include <vector>

namespace cif {

constexpr int kTemplateCombo = 109;

// 1 on OK: the slots stored and normalised, a typed template moved to the top of `templates`;
// 0 on Cancel or close.
int RunCifSetupDialog(std::vector<std::string>& slots, const std::vector<int>& checkSlots,
                      std::vector<std::string>& templates, const std::function<void()>& normalise);

}  // namespace cif
