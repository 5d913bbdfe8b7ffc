// Shell open: accepted requests, refused ones, parameters and the working folder.
#include "uCmnError.h"
#include "uCmnShell.h"
#include "uTestFiles.h"
#include "uTestSupport.h"

#include <gtest/gtest.h>
#include <shellapi.h>

#include <fstream>
#include <sstream>

namespace {

class Shell : public ::testing::Test {
  protected:
    TComInit com;
    TTempFolder temp;
};

TEST(CommandLine, ArgumentsAreQuotedToComeBackWhole) {
    const struct {
        const wchar_t *arg, *quoted;
    } cases[] = {{L"", L"\"\""},
                 {L"C:\\acc\\u\\x y.txt", L"\"C:\\acc\\u\\x y.txt\""},
                 {L"C:\\", L"\"C:\\\\\""},
                 {L"a\"b", L"\"a\\\"b\""},
                 {L"a\\\"b\\", L"\"a\\\\\\\"b\\\\\""}};
    for (const auto& c : cases) {
        EXPECT_EQ(CommandLineArg(c.arg), c.quoted) << c.arg;
        // The platform's own parsing gives the argument back whole.
        int count = 0;
        wchar_t** args = ::CommandLineToArgvW((L"x.exe " + CommandLineArg(c.arg)).c_str(), &count);
        ASSERT_EQ(count, 2) << c.arg;
        EXPECT_STREQ(args[1], c.arg);
        ::LocalFree(args);
    }
}

TEST_F(Shell, RefusedRequestsReturnFalse) {
    const std::wstring doc = temp / L"orphan.ovtnoassoc";
    ASSERT_TRUE(FileWrite(doc, "no program opens this"));
    EXPECT_FALSE(ShellOpen(doc, L""));
    EXPECT_FALSE(ShellOpen(temp / L"missing.exe", L"x"));
}

// A recorder takes the requests instead of the shell, which would refuse these, and answers that
// they were taken; the recorder installed before it takes them again when it goes.
TEST_F(Shell, ARecorderTakesTheRequestsAndStartsNothing) {
    const std::wstring missing = temp / L"missing.exe";
    TShellOpenRecorder outer;
    {
        TShellOpenRecorder inner;
        EXPECT_TRUE(ShellOpen(missing, L"x"));
        EXPECT_EQ(inner.Requests, (std::vector<TShellOpenRequest>{{missing, L"x"}}));
    }
    EXPECT_TRUE(ShellOpen(missing, L""));
    EXPECT_EQ(outer.Requests, (std::vector<TShellOpenRequest>{{missing, L""}}));
}

TEST_F(Shell, ProgramRunsWithParametersInTheLaunchersFolder) {
    const std::wstring out = temp / L"wd.txt";
    ASSERT_TRUE(ShellOpen(L"cmd.exe", L"/c cd > \"" + out + L"\""));

    // The build's folder is ASCII, so the console's code page does not matter here.
    std::string bytes;
    for (int i = 0; i < 200 && bytes.empty(); ++i) {
        ::Sleep(50);
        std::ifstream in(out.c_str(), std::ios::binary);
        std::getline(in, bytes);
    }
    std::wstring line = WideOfUtf8(bytes);
    while (!line.empty() && line.back() <= L' ')
        line.pop_back();
    std::wstring expected = ExeFolder();
    expected.pop_back();
    EXPECT_EQ(lstrcmpiW(line.c_str(), expected.c_str()), 0) << line << L" / " << expected;
}

} // namespace
