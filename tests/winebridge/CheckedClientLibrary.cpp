#include "winebridge/CheckedClientLibrary.h"

#include <cstdint>
#include <stdexcept>
#include <type_traits>

#if defined(__i386__)
// Calls `function` with the `count` 32-bit words at `words` on the stack, the first word on
// top, as a stdcall or cdecl caller pushes them; stores in `stackMoved` how far the stack
// pointer after the call is from where a stdcall function leaves it, and returns EAX.
extern "C" std::uint32_t CallMeasuringStack(
    const void* function, const std::uint32_t* words, std::uint32_t count,
    std::int32_t* stackMoved) asm("duplora_call_measuring_stack");
asm(R"(
    .text
    .globl duplora_call_measuring_stack
duplora_call_measuring_stack:
    pushl %ebp
    movl %esp, %ebp
    pushl %esi
    movl 16(%ebp), %ecx
    movl 12(%ebp), %edx
1:  testl %ecx, %ecx
    jz 2f
    decl %ecx
    pushl (%edx,%ecx,4)
    jmp 1b
2:  movl %esp, %esi
    call *8(%ebp)
    movl 16(%ebp), %ecx
    leal (%esi,%ecx,4), %ecx
    movl %esp, %edx
    subl %ecx, %edx
    movl 20(%ebp), %ecx
    movl %edx, (%ecx)
    leal -4(%ebp), %esp
    popl %esi
    popl %ebp
    ret
)");
#endif

namespace {

const ClientLibrary* real = nullptr;
std::vector<CheckedClientLibrary::Call> calls;

#if defined(__i386__)
// One argument as the 32-bit word a caller pushes for it.
template <typename Argument>
std::uint32_t Word(Argument argument) {
    static_assert(sizeof(Argument) <= sizeof(std::uint32_t), "every argument takes one word");
    if constexpr (std::is_pointer_v<Argument>)
        return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(argument));
    else
        return static_cast<std::uint32_t>(argument);
}
#endif

template <auto Member>
std::string& NameOf() {
    static std::string name;
    return name;
}

template <auto Member, typename Function>
struct Measured;

template <auto Member, typename Result, typename... Arguments>
struct Measured<Member, Result(__stdcall*)(Arguments...)> {
    static Result __stdcall Call(Arguments... arguments) {
#if defined(__i386__)
        const std::uint32_t words[] = {Word(arguments)..., 0};
        std::int32_t stackMoved = 0;
        const std::uint32_t result = CallMeasuringStack(
            reinterpret_cast<const void*>(real->*Member), words, sizeof...(Arguments), &stackMoved);
        calls.push_back({NameOf<Member>(), stackMoved});
        return static_cast<Result>(result);
#else
        calls.push_back({NameOf<Member>(), 0});
        return (real->*Member)(arguments...);
#endif
    }
};

}  // namespace

CheckedClientLibrary::CheckedClientLibrary() : library_(ClientLibrary::Process()) {
    if (real) throw std::logic_error("one CheckedClientLibrary at a time");
    real = &ClientLibrary::Process();
    calls.clear();
#define DUPLORA_ENTRY(name)                 \
    NameOf<&ClientLibrary::name>() = #name; \
    library_.name = &Measured<&ClientLibrary::name, decltype(library_.name)>::Call;
#include "database/EntryPoints.inc"
#undef DUPLORA_ENTRY
}

CheckedClientLibrary::~CheckedClientLibrary() { real = nullptr; }

const std::vector<CheckedClientLibrary::Call>& CheckedClientLibrary::Calls() const { return calls; }

std::vector<std::string> CheckedClientLibrary::Names() const {
    std::vector<std::string> names;
    for (const Call& call : calls) names.push_back(call.name);
    return names;
}
