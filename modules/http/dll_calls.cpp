#include "dll_calls.h"

namespace http_module::detail {

#if defined(__i386__)
// The run-time error for a DLL command that left the stack changed; locations: the
// command's number and 0.
void RaiseDllStackError(DllCommand command) {
    kx::program::Entry<kx::EntrySlot::kRaiseError>()(6, static_cast<std::int32_t>(command), 0);
    __builtin_unreachable();
}

// cdecl: (function, args, count, stackKept). esi and edi survive the stdcall callee.
asm(R"(
    .text
    .globl _http_CallStdcallChecked
_http_CallStdcallChecked:
    pushl %ebp
    movl %esp, %ebp
    pushl %esi
    pushl %edi
    movl 12(%ebp), %esi
    movl 16(%ebp), %ecx
    movl %esp, %edi
1:  testl %ecx, %ecx
    jz 2f
    decl %ecx
    pushl (%esi,%ecx,4)
    jmp 1b
2:  call *8(%ebp)
    xorl %ecx, %ecx
    cmpl %esp, %edi
    sete %cl
    movl %edi, %esp
    movl 20(%ebp), %edx
    movl %ecx, (%edx)
    popl %edi
    popl %esi
    popl %ebp
    ret
)");
#endif

}  // namespace http_module::detail
