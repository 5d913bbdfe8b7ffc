// Base fixture of the suites that build the real main window in the test process: each test
// starts without the product key and leaves none behind.
#pragma once

#include "uCmnApp.h"
#include "uCmnReg.h"
#include "uOvMain.h"
#include "uOvRegDef.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <memory>

// The font a window draws with.
inline LOGFONTW FontOf(HWND hwnd) {
    LOGFONTW lf{};
    auto font = reinterpret_cast<HFONT>(::SendMessageW(hwnd, WM_GETFONT, 0, 0));
    if (font)
        ::GetObjectW(font, sizeof(lf), &lf);
    return lf;
}

// The user interface's font: 12-pixel MS P Gothic in the Shift-JIS character set.
inline void ExpectInterfaceFont(HWND hwnd) {
    const LOGFONTW lf = FontOf(hwnd);
    EXPECT_EQ(lf.lfHeight, -12);
    EXPECT_EQ(lf.lfCharSet, SHIFTJIS_CHARSET);
    EXPECT_STREQ(lf.lfFaceName, L"ＭＳ Ｐゴシック");
}

class TMainWindowTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        Application.Initialize();
        // A run that names a code page (the second run under a Western one) must really have it.
        wchar_t expected[16] = {};
        if (::GetEnvironmentVariableW(L"OV_EXPECT_ACP", expected, 16)) {
            ASSERT_EQ(::GetACP(), std::wcstoul(expected, nullptr, 10));
        }
    }

    void SetUp() override { RegKeyDelete(HKEY_CURRENT_USER, OvKeyProduct); }
    void TearDown() override {
        form.reset();
        RegKeyDelete(HKEY_CURRENT_USER, OvKeyProduct);
    }

    // Creates the main window, hidden; its creation runs on the tree as it stands.
    TFrmOvMain& Open() {
        form = std::make_unique<TFrmOvMain>();
        form->Create();
        return *form;
    }

    std::unique_ptr<TFrmOvMain> form;
};
