// Program code opens with a stub of two placeholder routines that the runtime binds where it
// needs a routine that does nothing; codeBase lies just behind it. The thunk table follows
// in the same block, so that codeBase + a stored offset is a thunk by construction and not
// by the linker's ordering: each thunk is a jump padded to 8 bytes.
#include "program_code.h"

#define KX_STRINGIFY2(x) #x
#define KX_STRINGIFY(x) KX_STRINGIFY2(x)
#define KX_SYMBOL(name) KX_STRINGIFY(__USER_LABEL_PREFIX__) #name

// One thunk: a jump to `target`, padded with int3 to the thunk size.
#define KX_THUNK(n, target) \
    KX_STRINGIFY(n) ": jmp " KX_SYMBOL(target) "\n .org " KX_STRINGIFY(n) "b + 8, 0xCC\n"

// The application's routines are not written yet: their thunks jump to the placeholder that
// returns without a value. Thunk order is ProgramRoutine's.
asm(".text\n"
    ".p2align 4\n"
    ".globl " KX_SYMBOL(kx_program_code) "\n"
    KX_SYMBOL(kx_program_code) ":\n"
    "  .byte 0x31, 0xC0, 0xC3, 0xCC\n"  // xor eax,eax / ret; the ret alone at offset 2
    KX_THUNK(10, kx_program_code)      // OnWindowCreated
    KX_THUNK(11, kx_program_code)      // OnTimerTick
    KX_THUNK(12, kx_program_code)      // OnSync
    KX_THUNK(13, kx_program_code)      // OnRoundToMinute
    KX_THUNK(14, kx_program_code)      // OnPlusMinute
    KX_THUNK(15, kx_program_code)      // OnMinusMinute
    KX_THUNK(16, kx_program_code)      // OnPlusSecond
    KX_THUNK(17, kx_program_code));    // OnMinusSecond

namespace kx::image {

Word CodeBase() { return ToWord(kx_program_code) + kProgramCodeStubSize; }

}  // namespace kx::image
