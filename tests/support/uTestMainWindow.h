// Base fixture of the suites that build the real main window in the test process: each test
// starts without the product key and leaves none behind.
#pragma once

#include "uCmnApp.h"
#include "uCmnReg.h"
#include "uOvMain.h"
#include "uOvRegDef.h"

#include <gtest/gtest.h>

#include <memory>

class TMainWindowTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { Application.Initialize(); }

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
