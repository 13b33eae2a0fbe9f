#include "editor/db/programs.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "editor/db/tests/collection_files.h"
#include "editor/db/tests/drawing_folder.h"

namespace {

using Args = std::vector<std::string>;

TEST(SuitePrograms, ButtonsFindTheirProgramsInTableOrder) {
  struct Case {
    int id;
    int row;
    const char* file;
  };
  // The checker's and the extractor's ids run the other way from their rows.
  const Case cases[] = {{10, 0, "Whpv.EXE"},      {3002, 1, "Wstrmimp.EXE"}, {3008, 8, "Wmerockt.EXE"},
                        {3009, 7, "Wmerodrc.EXE"}, {3013, 12, "Wglyphmk.EXE"}, {3001, -1, ""},
                        {0, -1, ""}};
  for (const Case& c : cases) {
    EXPECT_EQ(db::FindSuiteProgram(c.id), c.row) << c.id;
    if (c.row >= 0) {
      EXPECT_EQ(db::SuiteProgramTable()[static_cast<std::size_t>(c.row)].file, c.file);
    }
  }
  EXPECT_EQ(db::SuiteProgramTable().size(), 13u);
}

TEST(SuitePrograms, ArgumentsCarryTheCellTheViewAndTheMask) {
  dbtest::Db d;
  db::ProgramView view{1.5, -250, 1e7, 0xFFFFFFFFFFFFFFFFull};
  EXPECT_EQ(db::SuiteProgramArguments(*d, 7, view, ""),
            (Args{"(none)", "1.5", "-250", "1e+07", "18446744073709551615"}));
  d->current.name = "NAND2";
  d->current.row = 3;
  view.viewMask = 5;
  EXPECT_EQ(db::SuiteProgramArguments(*d, 1, view, "ignored"), (Args{"NAND2", "1.5", "-250", "1e+07", "5"}));
  EXPECT_EQ(db::SuiteProgramArguments(*d, 0, view, "Command Information/Get"),
            (Args{"C:\\MERO6\\MERO60.HPV", "Command Information/Get"}));
  d->suiteDrive = "";
  EXPECT_EQ(db::SuiteProgramArguments(*d, 0, view, ""), (Args{"\\MERO6\\MERO60.HPV"}));
}

// A program of the suite that writes down the arguments it was given, one a line.
struct Stub : ::testing::Test {
  dbtest::DrawingFolder f;
  dbtest::Db d;

  void Install(const std::string& program) {
    const std::string path = f.root + "/MERO6/" + program;
    std::ofstream(path) << "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$0.args.tmp\"\n"
                           "mv \"$0.args.tmp\" \"$0.args\"\n";
    std::filesystem::permissions(path, std::filesystem::perms::owner_all);
  }
  std::string Received(const std::string& program) {
    const std::string path = f.root + "/MERO6/" + program + ".args";
    for (int i = 0; i < 500 && !std::filesystem::exists(path); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return dbtest::ReadBytes(path);
  }
};

TEST_F(Stub, UtilitiesAndTheHelpViewerStartWithTheirArguments) {
  Install("wmerockt");
  Install("whpv");
  d->current.name = "TOP";
  d->current.row = 2;
  EXPECT_GT(db::LaunchSuiteProgram(*d, 3008, {0, 0, 640, 3}, ""), 0);
  EXPECT_EQ(Received("wmerockt"), "TOP\n0\n0\n640\n3\n");
  EXPECT_GT(db::LaunchSuiteProgram(*d, 10, {}, "Command Information/Pan"), 0);
  EXPECT_EQ(Received("whpv"), "C:\\MERO6\\MERO60.HPV\nCommand Information/Pan\n");
  EXPECT_TRUE(d.talk.events.empty());
}

TEST_F(Stub, MissingProgramsAreNamedAndUnknownIdsDoNothing) {
  EXPECT_EQ(db::LaunchSuiteProgram(*d, 3011, {}, ""), 0);
  EXPECT_EQ(db::LaunchSuiteProgram(*d, 10, {}, "x"), 0);
  EXPECT_EQ(db::LaunchSuiteProgram(*d, 2000, {}, ""), 0);
  EXPECT_EQ(d.talk.events, (std::vector<std::string>{"box \"\" \"C:\\MERO6\\Wmerouue.EXE is Missing\"",
                                                     "box \"\" \"Help not Found\""}));
}

TEST_F(Stub, ReaderStartsOnItsFileOrSaysItCannotBeFound) {
  Install("reader");
  EXPECT_EQ(db::StartReaderProgram(*d, f.root + "/MERO6/reader", "STRMEXP.RPT"), 1);
  EXPECT_EQ(Received("reader"), "STRMEXP.RPT\n");
  EXPECT_EQ(db::StartReaderProgram(*d, "no-such-reader-anywhere", "x"), 0);
  EXPECT_EQ(d.talk.events, (std::vector<std::string>{dbtest::Message(29)}));
}

}  // namespace
