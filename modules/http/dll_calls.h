// Calling the image's DLL commands from program code: slot 1 gives the function's address
// and the function is called with its own arguments. In the 32-bit build the call checks
// that the function removed exactly the arguments laid out (stdcall) and raises run-time
// error 6 when it did not; the 64-bit convention leaves the caller nothing to check.
#pragma once

#include <array>
#include <cstdint>
#include <type_traits>

#include "kx/program_calls.h"

namespace http_module {

using kx::image::DllCommand;

namespace detail {

#if defined(__i386__)
// Pushes `count` argument words (the last first), calls `function`, and sets *stackKept to
// whether the stack pointer came back where it was; the stack is restored either way.
extern "C" std::uint32_t __cdecl http_CallStdcallChecked(kx::DllFunction function,
                                                         const std::uint32_t* args,
                                                         std::uint32_t count,
                                                         std::uint32_t* stackKept);
[[noreturn]] void RaiseDllStackError(DllCommand command);

template <typename T>
std::uint32_t ArgumentWord(T value) {
    static_assert(sizeof(T) == 4, "DLL command arguments here are 32-bit words");
    std::uint32_t word;
    __builtin_memcpy(&word, &value, 4);
    return word;
}
#endif

}  // namespace detail

// Calls DLL command `command` as `R __stdcall (Args...)`.
template <typename R, typename... Args>
R CallDllCommand(DllCommand command, Args... args) {
#if defined(__i386__)
    const kx::DllFunction address = kx::program::ResolveDllCommand<void()>(command);
    const std::array<std::uint32_t, sizeof...(Args) + 1> words = {detail::ArgumentWord(args)..., 0};
    std::uint32_t stackKept = 0;
    const std::uint32_t result =
        detail::http_CallStdcallChecked(address, words.data(), sizeof...(Args), &stackKept);
    if (!stackKept) detail::RaiseDllStackError(command);
    if constexpr (!std::is_void_v<R>) {
        static_assert(sizeof(R) == 4);
        R typed;
        __builtin_memcpy(&typed, &result, 4);
        return typed;
    }
#else
    return kx::program::ResolveDllCommand<R(Args...)>(command)(args...);
#endif
}

}  // namespace http_module
