// COM for the threads that use it, started on first use.
#include "uCmnCom.h"

bool ComEnsure() {
    thread_local TComInit com;
    // Started by the thread in another model first: COM is there all the same.
    return SUCCEEDED(com.Result()) || com.Result() == RPC_E_CHANGED_MODE;
}
