// The options dialog FrmOvOptn.
#include "uOvOptn.h"

TFrmOvOptn* FrmOvOptn = nullptr;

TFrmOvOptn::TFrmOvOptn() {
    FrmOvOptn = this;
}

TFrmOvOptn::~TFrmOvOptn() {
    DestroyHandle();
    if (FrmOvOptn == this)
        FrmOvOptn = nullptr;
}

void TFrmOvOptn::ShowModal() {}
