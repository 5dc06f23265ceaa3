// Every engine and loader function of the host is entered through one gate, so that each
// returns to the plugin as optimised MSVC code may: the gate notes the stack pointer at entry,
// runs the function's body, then paints the stack below the caller's frame and overwrites the
// volatile registers that the function does not return (RCX, RDX, R8 to R11, XMM0 to XMM5).
#pragma once

#include <stdint.h>

// How many bytes below its frame the host paints the stack with all-ones words, before each
// call into the plugin and after each engine call. A 4-byte store into an 8-byte slot there
// leaves the paint in the upper half, where chance would often leave zeros.
#define GAME_PAINT_BYTES 0x4000

extern "C" {
// The stack pointer at the entry of the engine function running now (it points at the return
// address).
extern uint64_t GameEngineEntryRsp;
// The words below this address, down to GAME_PAINT_BYTES below it, were painted last: by the
// most recent engine function's return or by the most recent call into the plugin.
extern uint64_t GamePaintedStackTop;
}

// Defines the function `entry` (extern "C", no arguments declared) that enters the gate with
// `body`, an extern "C" function taking the engine function's arguments and returning a
// 64-bit value in RAX.
#define GAME_GATED_ENTRY(entry, body)                                                            \
  extern "C" void entry();                                                                       \
  asm(".text\n.p2align 4\n.globl " #entry "\n.def " #entry "; .scl 2; .type 32; .endef\n" #entry \
      ":\n  leaq " #body "(%rip), %r11\n  jmp GameGateEnter\n")
