#include "platform/os/process.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <thread>

#include "platform/os/path.h"
#include "platform/os/tests/scratch.h"

namespace {

using ostest::Scratch;

void MakeExecutable(const Scratch& s, const std::string& rel) {
  s.Write(rel, "#!/bin/sh\nexit 0\n");
  std::filesystem::permissions(s.Path(rel), std::filesystem::perms::owner_all);
}

TEST(Process, CommandLineStartsWithTheProgramOnItsDrive) {
  Scratch s;
  MakeExecutable(s, "suite/MERO6/wmero");
  std::filesystem::create_directories(s.Path("suite/MERO6"));
  unsetenv("MERO_DRIVES");
  // InitProcess reads /proc/self/exe (the test binary, not in a MERO6 folder): give it the suite.
  setenv("MERO_SUITE_DIR", s.Path("suite/MERO6").c_str(), 1);
  char arg0[] = "x";
  char arg1[] = "NAND2";
  char arg2[] = "1.5";
  char* argv[] = {arg0, arg1, arg2, nullptr};
  os::InitProcess(3, argv);
  unsetenv("MERO_SUITE_DIR");
  EXPECT_EQ(os::SuiteDriveLetter(), 'C');
  EXPECT_EQ(os::CommandArgs(), "NAND2 1.5");
  // The test binary lies outside drive C, so its native path starts the line.
  EXPECT_EQ(os::CommandLine(), os::ExecutablePath() + " NAND2 1.5");
  EXPECT_EQ(os::NativePath("C:\\MERO6\\WMERO"), s.Path("suite/MERO6/wmero"));
}

TEST(Process, ProgramNamesMapToTheSuiteFolderAndPath) {
  Scratch s;
  MakeExecutable(s, "MERO6/whpv");
  os::SetDriveTable("C=" + s.root);
  EXPECT_EQ(os::FindProgram("C:\\MERO6\\Whpv.EXE"), s.Path("MERO6/whpv"));
  EXPECT_EQ(os::FindProgram("c:/mero6/WHPV"), s.Path("MERO6/whpv"));
  EXPECT_EQ(os::FindProgram("C:\\MERO6\\Wmissing.EXE"), "");
  EXPECT_EQ(os::FindProgram("sh"), "/usr/bin/sh");
  EXPECT_EQ(os::FindProgram("no-such-program-here"), "");
  setenv("MERO_READER", "true", 1);
  EXPECT_EQ(os::FindProgram("Notepad"), os::FindProgram("true"));
  EXPECT_EQ(os::FindProgram("NOTEPAD.EXE"), os::FindProgram("true"));
  unsetenv("MERO_READER");
}

TEST(Process, SpawnDoesNotWaitFailsAtOnceAndReapsItsChildren) {
  Scratch s;
  std::string out = s.Path("args.txt");
  s.Write("MERO6/echoargs", "#!/bin/sh\nprintf '%s|' \"$@\" > \"" + out + "\"\n");
  std::filesystem::permissions(s.Path("MERO6/echoargs"), std::filesystem::perms::owner_all);
  os::SetDriveTable("C=" + s.root);
  int pid = os::SpawnProgram("C:\\MERO6\\EchoArgs.EXE", {"NAND2", "1.5", "18446744073709551615"});
  ASSERT_GT(pid, 0);
  for (int i = 0; i < 500 && kill(pid, 0) == 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_NE(kill(pid, 0), 0) << "child left as a zombie";
  EXPECT_EQ(s.Read("args.txt"), "NAND2|1.5|18446744073709551615|");
  EXPECT_EQ(os::SpawnProgram("C:\\MERO6\\Missing.EXE", {}), -1);
  // Our reaper leaves other children to whoever started them.
  EXPECT_EQ(std::system("exit 3") >> 8, 3);
}

TEST(Process, SingleInstanceLockClockAndFixedTime) {
  std::string name = "test-" + std::to_string(getpid());
  EXPECT_FALSE(os::AnotherInstanceRunning(name.c_str()));
  EXPECT_TRUE(os::AnotherInstanceRunning(name.c_str()));

  std::uint32_t t0 = os::TickCount();
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_GE(os::TickCount() - t0, 15u);

  setenv("MERO_NOW", "2026-12-10 14:05:09", 1);
  std::tm t = os::LocalTime();
  EXPECT_EQ(t.tm_year, 126);
  EXPECT_EQ(t.tm_mon, 11);
  EXPECT_EQ(t.tm_mday, 10);
  EXPECT_EQ(t.tm_hour, 14);
  EXPECT_EQ(t.tm_sec, 9);
  EXPECT_EQ(t.tm_wday, 4);
  setenv("MERO_NOW", "garbage", 1);
  EXPECT_GT(os::LocalTime().tm_year, 120);
  unsetenv("MERO_NOW");
}

}  // namespace
