#include "editor/ui/suite_drive.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/os/process.h"

namespace {

TEST(SuiteDrive, DriveComesFromTheFirstColon) {
  struct Case { const char* line; int found; const char* drive; };
  const Case cases[] = {
      {"C:\\MERO6\\Wmero.EXE", 1, "C:"},
      {"d:\\mero6\\wmero NAND2", 1, "D:"},
      {"\"C:\\MERO6\\wmero\"", 1, "C:"},
      {"wmero NAND2", 0, ""},
      {"wmero 1:2", 0, ""},
      {"wmero a b:c", 1, "B:"},
      {":\\MERO6\\wmero", 0, ""},
      {"", 0, ""},
  };
  for (const Case& c : cases) {
    std::string drive = "junk";
    EXPECT_EQ(edui::FindSuiteDriveIn(c.line, drive), c.found) << c.line;
    EXPECT_EQ(drive, c.drive) << c.line;
  }
}

TEST(SuiteDrive, MissingDriveTellsTheUserAndFallsBack) {
  std::vector<std::string> told;
  os::SetCommandLineForTests("wmero", "");
  EXPECT_EQ(edui::FindSuiteDrive([&](const char* t) { told.push_back(t); }), 0);
  ASSERT_EQ(told.size(), 1u);
  EXPECT_EQ(told[0], "Unable to find \\MERO6 Drive ... Defaulting to Current Drive");
  EXPECT_EQ(edui::SuitePath("Whpv.EXE"), "\\MERO6\\Whpv.EXE");

  told.clear();
  os::SetCommandLineForTests("c:\\mero6\\wmero CELL", "CELL");
  EXPECT_EQ(edui::FindSuiteDrive([&](const char* t) { told.push_back(t); }), 1);
  EXPECT_TRUE(told.empty());
  EXPECT_EQ(edui::SuiteDrive(), "C:");
  EXPECT_EQ(edui::SuitePath("Whpv.EXE"), "C:\\MERO6\\Whpv.EXE");
}

}  // namespace
