// An aligned AVX store to the stack, as a spill by a compiler that assumes
// 32-byte stack alignment would make: the stack-move check must find it.
// Only disassembled, never run.
void stackVectorMoveControl() {
    __asm__ volatile("vmovapd %%ymm0, 0x20(%%rsp)" ::: "memory");
}
