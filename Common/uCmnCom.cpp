// COM for the threads that use it, started on first use.
#include "uCmnCom.h"

#include <optional>

namespace {

thread_local std::optional<TComInit> t_com;

} // namespace

bool ComEnsure() {
    if (!t_com)
        t_com.emplace();
    // Started by the thread in another model first: COM is there all the same.
    return SUCCEEDED(t_com->Result()) || t_com->Result() == RPC_E_CHANGED_MODE;
}

void ComEnd() {
    t_com.reset();
}
