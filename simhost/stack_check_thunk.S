/* uint32_t callStdcallChecked(const void* fn, const uint32_t* args,
 *                             uint32_t count, int32_t* leftOnStack)
 * Pushes `count` 32-bit arguments right to left, calls `fn`, and stores how
 * many bytes the callee left on the stack: 0 for a function that pops
 * exactly its arguments, as the standard calling convention demands.
 * The stack is restored either way, so a faulty callee cannot corrupt the
 * caller's frame. Answers the callee's result (EAX). */
    .intel_syntax noprefix
    .text
    .globl _callStdcallChecked
_callStdcallChecked:
    push ebp
    mov ebp, esp
    push ebx
    push esi
    push edi
    mov ecx, [ebp + 16]
    mov esi, [ebp + 12]
    mov edi, esp
1:
    test ecx, ecx
    jz 2f
    push dword ptr [esi + ecx * 4 - 4]
    dec ecx
    jmp 1b
2:
    call dword ptr [ebp + 8]
    mov ecx, edi
    sub ecx, esp
    mov esp, edi
    mov edx, [ebp + 20]
    mov [edx], ecx
    pop edi
    pop esi
    pop ebx
    pop ebp
    ret
