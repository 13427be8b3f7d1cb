#include "WatchedCalls.h"

#include <dlfcn.h>

#include <stdexcept>

namespace {

using Watch = int (*)(const char*);
using Unwatch = void (*)(int);
using Watched = int (*)(int, long long*, long long*, long long*, int);

template <typename Function>
Function Shim(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_DEFAULT, name));
}

constexpr int kReadCapacity = 256;

}  // namespace

WatchedCalls::WatchedCalls(const std::string& pathPart) {
    const auto watch = Shim<Watch>("DuploraWatch");
    if (!watch) throw std::logic_error("the fault shim is not preloaded");
    watch_ = watch(pathPart.c_str());
    if (watch_ < 0) throw std::logic_error("the fault shim watches no more paths at once");
}

WatchedCalls::~WatchedCalls() { Shim<Unwatch>("DuploraUnwatch")(watch_); }

long long WatchedCalls::LookUps() const {
    long long lookUps = 0, opens = 0;
    Shim<Watched>("DuploraWatched")(watch_, &lookUps, &opens, nullptr, 0);
    return lookUps;
}

long long WatchedCalls::Opens() const {
    long long lookUps = 0, opens = 0;
    Shim<Watched>("DuploraWatched")(watch_, &lookUps, &opens, nullptr, 0);
    return opens;
}

std::vector<long long> WatchedCalls::ReadSizes() const {
    long long lookUps = 0, opens = 0;
    std::vector<long long> sizes(kReadCapacity);
    sizes.resize(static_cast<std::size_t>(
        Shim<Watched>("DuploraWatched")(watch_, &lookUps, &opens, sizes.data(), kReadCapacity)));
    return sizes;
}

long long WatchedCalls::UmaskCalls() { return Shim<long long (*)()>("DuploraUmaskCalls")(); }

bool WatchedCalls::Available() { return Shim<Watch>("DuploraWatch") != nullptr; }
