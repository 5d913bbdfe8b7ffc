// Shell open: accepted requests, refused ones, parameters and the working folder.
#include "uCmnShell.h"
#include "uTestFiles.h"
#include "uTestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

class Shell : public ::testing::Test {
  protected:
    TComInit com;
    TTempFolder temp;
};

TEST_F(Shell, RefusedRequestsReturnFalse) {
    const std::string doc = temp / "orphan.ovtnoassoc";
    ASSERT_TRUE(FileWrite(doc, "no program opens this"));
    EXPECT_FALSE(ShellOpen(doc, ""));
    EXPECT_FALSE(ShellOpen(temp / "missing.exe", "x"));
}

// A recorder takes the requests instead of the shell, which would refuse these, and answers that
// they were taken; the recorder installed before it takes them again when it goes.
TEST_F(Shell, ARecorderTakesTheRequestsAndStartsNothing) {
    const std::string missing = temp / "missing.exe";
    TShellOpenRecorder outer;
    {
        TShellOpenRecorder inner;
        EXPECT_TRUE(ShellOpen(missing, "x"));
        EXPECT_EQ(inner.Requests, (std::vector<TShellOpenRequest>{{missing, "x"}}));
    }
    EXPECT_TRUE(ShellOpen(missing, ""));
    EXPECT_EQ(outer.Requests, (std::vector<TShellOpenRequest>{{missing, ""}}));
}

TEST_F(Shell, ProgramRunsWithParametersInTheLaunchersFolder) {
    const std::string out = temp / "wd.txt";
    ASSERT_TRUE(ShellOpen("cmd.exe", "/c cd > \"" + out + "\""));

    std::string line;
    for (int i = 0; i < 200 && line.empty(); ++i) {
        ::Sleep(50);
        std::ifstream in(out, std::ios::binary);
        std::getline(in, line);
    }
    while (!line.empty() && static_cast<unsigned char>(line.back()) <= ' ')
        line.pop_back();
    std::string expected = ExeFolder();
    expected.pop_back();
    EXPECT_EQ(lstrcmpiA(line.c_str(), expected.c_str()), 0) << line << " / " << expected;
}

} // namespace
