#include "game/engine_gate.h"

#define GAME_STRINGIFY(x) #x
#define GAME_TEXT(x) GAME_STRINGIFY(x)

extern "C" {
uint64_t GameEngineEntryRsp;
uint64_t GamePaintedStackTop;
}

// Entered by a jump with the body's address in R11 and the caller's arguments untouched. The
// gate calls the body in a frame of its own, with the caller's fifth argument copied to where
// the body finds it, so that the body sees the stack as the caller laid it out. With unwind
// information, so that a fault in a body still leaves a stack the system can walk.
asm(R"(
    .text
    .p2align 4
    .globl GameGateEnter
    .def GameGateEnter; .scl 2; .type 32; .endef
    .seh_proc GameGateEnter
GameGateEnter:
    subq $0x38, %rsp
    .seh_stackalloc 0x38
    .seh_endprologue
    leaq 0x38(%rsp), %rax
    movq %rax, GameEngineEntryRsp(%rip)
    movq 0x60(%rsp), %rax
    movq %rax, 0x20(%rsp)
    callq *%r11
    # Paint from just below the return address down: the caller's next frames lie there.
    leaq 0x30(%rsp), %r10
    leaq 0x38(%rsp), %rcx
    movq %rcx, GamePaintedStackTop(%rip)
    leaq -)" GAME_TEXT(GAME_PAINT_BYTES) R"((%rcx), %r11
1:
    movq $-1, (%r10)
    subq $8, %r10
    cmpq %r11, %r10
    jae 1b
    movabsq $0x5A17C0DEDEADBEEF, %rcx
    movq %rcx, %rdx
    movq %rcx, %r8
    movq %rcx, %r9
    movq %rcx, %r10
    movq %rcx, %r11
    movq %rcx, %xmm0
    punpcklqdq %xmm0, %xmm0
    movdqa %xmm0, %xmm1
    movdqa %xmm0, %xmm2
    movdqa %xmm0, %xmm3
    movdqa %xmm0, %xmm4
    movdqa %xmm0, %xmm5
    addq $0x38, %rsp
    retq
    .seh_endproc
)");
