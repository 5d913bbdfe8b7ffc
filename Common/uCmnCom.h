// COM for the threads that use it, started on first use: a program that never needs the shell's
// objects never loads COM.
#pragma once

#include <objbase.h>

// COM (apartment) for the calling thread while the object lives.
class TComInit {
  public:
    TComInit() : hr_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~TComInit() {
        if (SUCCEEDED(hr_))
            ::CoUninitialize();
    }
    TComInit(const TComInit&) = delete;
    TComInit& operator=(const TComInit&) = delete;

    // CoInitializeEx's answer.
    HRESULT Result() const noexcept { return hr_; }

  private:
    HRESULT hr_;
};

// Starts COM (apartment) on the calling thread the first time that thread calls it, and ends it
// with the thread; later calls do nothing. True when COM is ready on the thread (also when the
// thread had started it itself).
bool ComEnsure();
// Ends what ComEnsure started on the calling thread now rather than at the thread's end (the
// application's loop does it when it ends); a later ComEnsure starts it again.
void ComEnd();
