// COM for the threads that use it, started on first use.
#include "uCmnCom.h"

#include <objbase.h>

namespace {

struct TComThread {
    HRESULT started = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ~TComThread() {
        if (SUCCEEDED(started))
            ::CoUninitialize();
    }
};

} // namespace

bool ComEnsure() {
    thread_local TComThread com;
    // Started by the thread in another model first: COM is there all the same.
    return SUCCEEDED(com.started) || com.started == RPC_E_CHANGED_MODE;
}
