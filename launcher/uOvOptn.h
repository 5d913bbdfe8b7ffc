// The options dialog FrmOvOptn: hot key, its two window options and the toolbar edge.
#pragma once

#include "uCmnForm.h"

class TFrmOvOptn : public TForm {
  public:
    TFrmOvOptn();
    ~TFrmOvOptn() override;

    // Creates the dialog owned by the main window, runs it modally and destroys it again.
    void ShowModal();
};

// The dialog while it is open.
extern TFrmOvOptn* FrmOvOptn;
