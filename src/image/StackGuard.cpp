// The stack canary of code built by mingw-w64 with -fstack-protector, without
// libssp, which would import advapi32 at load time for a random guard. It is
// the image's security cookie (the load configuration names it), so the
// loader replaces its default value with a fresh one as it maps the image;
// where no loader did, it is made as MSVC's security cookie is, from the
// clock, the ids, the performance counter and where the stack lies, before
// the program's code runs.
#include "image/ImageRules.h"

#include <windows.h>

#include <cstdint>

using image::kDefaultCookie;

extern "C" {

std::uintptr_t __stack_chk_guard = kDefaultCookie;

// A smashed stack ends the process at once: nothing that may run in it is
// trusted. The fail-fast trap ends it in the kernel, with a Windows Error
// Reporting record; should that return (not on Windows 8 and later), the
// process is terminated, and should that too return, it traps.
[[noreturn]] void __stack_chk_fail()
{
    // __fastfail, which mingw-w64 10 does not declare: int 0x29 with the code in ecx.
    __asm__ volatile("int $0x29" : : "c"(FAST_FAIL_STACK_COOKIE_CHECK_FAILURE) : "memory");
    ::TerminateProcess(::GetCurrentProcess(), static_cast<UINT>(STATUS_STACK_BUFFER_OVERRUN));
    __builtin_trap();
}

}  // extern "C"

namespace {

// Unguarded itself: it changes the guard its own check would compare against.
__attribute__((constructor(101), no_stack_protector)) void MakeStackGuard()
{
    if (__stack_chk_guard != kDefaultCookie)
        return;  // seeded by the loader
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    LARGE_INTEGER counter{};
    ::QueryPerformanceCounter(&counter);
    std::uintptr_t guard = (std::uintptr_t{now.dwHighDateTime} << 32) ^ now.dwLowDateTime;
    guard ^= ::GetCurrentProcessId() ^ (std::uintptr_t{::GetCurrentThreadId()} << 16);
    guard ^= static_cast<std::uintptr_t>(counter.QuadPart) << 32 ^ static_cast<std::uintptr_t>(counter.QuadPart);
    guard ^= reinterpret_cast<std::uintptr_t>(&guard);
    guard &= 0x0000FFFFFFFFFFFFu;  // as the loader's: the top 16 bits clear
    __stack_chk_guard = guard == 0 || guard == kDefaultCookie ? guard + 1 : guard;
}

}  // namespace
