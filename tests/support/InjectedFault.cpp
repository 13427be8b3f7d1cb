#include "InjectedFault.h"

#include <dlfcn.h>

#include <stdexcept>

namespace {

using Arm = void (*)(int, const char*, long long, int);
using Disarm = void (*)(int);

template <typename Function>
Function Shim(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_DEFAULT, name));
}

}  // namespace

InjectedFault::InjectedFault(Call call, const std::string& pathPart, long long pass, int error)
    : call_(call) {
    const auto arm = Shim<Arm>("DuploraArmFault");
    if (!arm) throw std::logic_error("the fault shim is not preloaded");
    arm(static_cast<int>(call), pathPart.c_str(), pass, error);
}

InjectedFault::~InjectedFault() { Shim<Disarm>("DuploraDisarmFault")(static_cast<int>(call_)); }

bool InjectedFault::Available() { return Shim<Arm>("DuploraArmFault") != nullptr; }
