// The image's load configuration, which mingw-w64 10's runtime lacks. lld
// points data directory 10 at `_load_config_used` and fills the Control Flow
// Guard tables (the __guard_* symbols); Windows reads the rest as the process
// starts. Pulled into every program whose code is built with -mguard=cf, as
// that code calls through the two guard pointers below.
#include "image/ImageRules.h"

#include <windows.h>

#include <cstddef>
#include <cstdint>

extern "C" {

// The stack guard (StackGuard.cpp), which the loader seeds as the image's security cookie.
extern std::uintptr_t __stack_chk_guard;

// Made by lld; the counts and flags are absolute symbols, so their "addresses" are the values. No long-jump table
// is declared (cmake/CheckImports.cmake checks it): the static runtime's setjmp return sites are in none, and a
// table declared without them would end the process at its first longjmp (winpthreads' pthread_exit has one).
extern const char __guard_fids_table[], __guard_fids_count[], __guard_flags[];
extern const char __guard_iat_table[], __guard_iat_count[];
extern const char __guard_longjmp_table[], __guard_longjmp_count[];

// Until Windows enables the guard for the process (and on Wine, which never
// does), a checked call is let through: the check does nothing, the dispatch
// jumps to the target it is given in rax.
static void __cdecl NoCheck() {}
void NoDispatch();
__asm__(".text\n.globl NoDispatch\nNoDispatch:\n    jmp *%rax\n");

// Windows writes its own check and dispatch routines here when it loads the image.
__attribute__((section(".00cfg"))) const void* __guard_check_icall_fptr = reinterpret_cast<const void*>(&NoCheck);
__attribute__((section(".00cfg"))) const void* __guard_dispatch_icall_fptr = reinterpret_cast<const void*>(&NoDispatch);

// IMAGE_LOAD_CONFIG_DIRECTORY64 up to the long-jump table (0xC0 bytes), the
// fields Windows 10 reads; mingw-w64 10's header stops before the guard fields.
struct LoadConfig {
    DWORD size, timeDateStamp;
    WORD majorVersion, minorVersion;
    DWORD globalFlagsClear, globalFlagsSet, criticalSectionDefaultTimeout;
    ULONGLONG deCommitFreeBlockThreshold, deCommitTotalFreeThreshold, lockPrefixTable, maximumAllocationSize,
        virtualMemoryThreshold, processAffinityMask;
    DWORD processHeapFlags;
    WORD csdVersion, dependentLoadFlags;
    ULONGLONG editList;
    const void* securityCookie;
    ULONGLONG seHandlerTable, seHandlerCount;
    const void *guardCheckFunctionPointer, *guardDispatchFunctionPointer, *guardFunctionTable, *guardFunctionCount;
    // GuardFlags (a DWORD) and the first half of CodeIntegrity, zero: lld's flags are an
    // absolute symbol, which only a pointer-sized field can take as a constant.
    const void* guardFlags;
    DWORD codeIntegrityCatalogOffset, codeIntegrityReserved;
    const void *guardIatTable, *guardIatCount, *guardLongJumpTable, *guardLongJumpCount;
};
// Where the build's check reads the fields.
static_assert(sizeof(LoadConfig) == image::kLoadConfigSize &&
              offsetof(LoadConfig, dependentLoadFlags) == image::kDependentLoadFlags.at &&
              offsetof(LoadConfig, securityCookie) == image::kSecurityCookie.at &&
              offsetof(LoadConfig, guardFunctionTable) == image::kGuardFunctionTable.at &&
              offsetof(LoadConfig, guardFunctionCount) == image::kGuardFunctionCount.at &&
              offsetof(LoadConfig, guardFlags) == image::kGuardFlags.at &&
              offsetof(LoadConfig, guardLongJumpTable) == image::kGuardLongJumpTable.at &&
              offsetof(LoadConfig, guardLongJumpCount) == image::kGuardLongJumpCount.at);

// Constant-initialised (addresses only), so it is in the image before any code runs.
__attribute__((used)) extern const LoadConfig _load_config_used = {
    sizeof(LoadConfig), 0, 0, 0, 0, 0, 0,  // size to the default timeout
    0, 0, 0, 0, 0, 0, 0, 0,                // heap, memory and affinity settings: Windows' defaults
    // The loader resolves the program's own imports (kernel32, the C runtime) from System32 alone.
    LOAD_LIBRARY_SEARCH_SYSTEM32,
    0, &__stack_chk_guard, 0, 0,  // the stack guard is the security cookie; no SafeSEH on x64
    &__guard_check_icall_fptr, &__guard_dispatch_icall_fptr, __guard_fids_table, __guard_fids_count,
    __guard_flags, 0, 0,
    __guard_iat_table, __guard_iat_count, __guard_longjmp_table, __guard_longjmp_count,
};

}  // extern "C"
