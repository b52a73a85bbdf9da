// CallForeignEntry for x86: the stack-keeping call behind ForeignFunction (see its header).
#include "ForeignFunction.h"

#ifdef TABVISOR_FOREIGN_CALL_THUNK
// cdecl: entry at 8(%ebp), args at 12(%ebp), count at 16(%ebp). ESI (callee-saved in both
// conventions) is kept below the frame pointer, and ESP is taken back from EBP after the call,
// so it does not matter whether the callee popped its arguments. The arguments start on a
// 16-byte boundary, which both conventions accept and newer compilers' code prefers.
asm(R"(
    .text
    .p2align 4
    .globl _CallForeignEntry
    .def _CallForeignEntry; .scl 2; .type 32; .endef
_CallForeignEntry:
    pushl %ebp
    movl %esp, %ebp
    pushl %esi
    movl 12(%ebp), %esi
    movl 16(%ebp), %ecx
    leal 0(,%ecx,4), %eax
    subl %eax, %esp
    andl $-16, %esp
    xorl %edx, %edx
1:
    cmpl %ecx, %edx
    jae 2f
    movl (%esi,%edx,4), %eax
    movl %eax, (%esp,%edx,4)
    incl %edx
    jmp 1b
2:
    call *8(%ebp)
    leal -4(%ebp), %esp
    popl %esi
    popl %ebp
    ret
)");
#endif
