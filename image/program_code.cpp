// Program code opens with a stub of two placeholder routines that the runtime binds where it
// needs a routine that does nothing; codeBase lies just behind it. The thunk table follows
// in the same block, so that codeBase + a stored offset is a thunk by construction and not
// by the linker's ordering: each thunk is a jump padded to 8 bytes.
#include "program_code.h"

#define KX_STRINGIFY2(x) #x
#define KX_STRINGIFY(x) KX_STRINGIFY2(x)
#define KX_SYMBOL(name) KX_STRINGIFY(__USER_LABEL_PREFIX__) #name

// One thunk: an indirect jump through slot n of the routine targets, padded with int3 to the
// thunk size. The targets are data, so the image needs no program routine at link time.
#if defined(__x86_64__)
#define KX_THUNK(n) \
    "1" #n ": jmp *(" KX_SYMBOL(kx_program_routine_targets) " + 8 * " #n ")(%rip)\n" \
    "  .org 1" #n "b + 8, 0xCC\n"
#else
#define KX_THUNK(n) \
    "1" #n ": jmp *(" KX_SYMBOL(kx_program_routine_targets) " + 4 * " #n ")\n" \
    "  .org 1" #n "b + 8, 0xCC\n"
#endif

// Thunk order is ProgramRoutine's.
asm(".text\n"
    ".p2align 4\n"
    ".globl " KX_SYMBOL(kx_program_code) "\n"
    KX_SYMBOL(kx_program_code) ":\n"
    "  .byte 0x31, 0xC0, 0xC3, 0xCC\n"  // xor eax,eax / ret; the ret alone at offset 2
    KX_THUNK(0) KX_THUNK(1) KX_THUNK(2) KX_THUNK(3)
    KX_THUNK(4) KX_THUNK(5) KX_THUNK(6) KX_THUNK(7));

namespace {

// A routine that does nothing and returns no value: where no routine is bound.
void NothingBound(const kx::Word*, kx::Word, kx::RoutineResult*) {}

}  // namespace

extern "C" {
kx::ProgramRoutineFn kx_program_routine_targets[kx::image::kProgramRoutineCount] = {
    NothingBound, NothingBound, NothingBound, NothingBound,
    NothingBound, NothingBound, NothingBound, NothingBound,
};
}

namespace kx::image {

void BindProgramRoutine(ProgramRoutine place, ProgramRoutineFn routine) {
    kx_program_routine_targets[static_cast<Word>(place)] = routine ? routine : NothingBound;
}

Word CodeBase() { return ToWord(kx_program_code) + kProgramCodeStubSize; }

}  // namespace kx::image
