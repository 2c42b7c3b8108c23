// The stub that opens program code: two placeholder routines the runtime binds where it
// needs a routine that does nothing. codeBase, the base of every event-routine offset of the
// form templates, lies just behind it.
#include "program_code.h"

#define KX_STRINGIFY2(x) #x
#define KX_STRINGIFY(x) KX_STRINGIFY2(x)
#define KX_SYMBOL(name) KX_STRINGIFY(__USER_LABEL_PREFIX__) #name

// xor eax,eax / ret: returns 0; the ret at offset 2 alone returns at once.
asm(".text\n"
    ".p2align 4\n"
    ".globl " KX_SYMBOL(kx_program_code) "\n"
    KX_SYMBOL(kx_program_code) ":\n"
    "  .byte 0x31, 0xC0, 0xC3, 0xCC\n");

namespace kx::image {

Word CodeBase() { return ToWord(kx_program_code) + kProgramCodeStubSize; }

}  // namespace kx::image
