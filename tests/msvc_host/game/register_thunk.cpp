#include "game/register_thunk.h"

#include "game/checks.h"
#include "game/engine_gate.h"

#define GAME_STRINGIFY(x) #x
#define GAME_TEXT(x) GAME_STRINGIFY(x)

namespace {

struct NonVolatileRegisters {
  uint64_t gpr[8];  // RBX, RBP, RDI, RSI, R12, R13, R14, R15
  uint64_t xmm[10][2];
};

constexpr const char* GprNames[8] = {"RBX", "RBP", "RDI", "RSI", "R12", "R13", "R14", "R15"};
constexpr const char* XmmNames[10] = {"XMM6",  "XMM7",  "XMM8",  "XMM9",  "XMM10",
                                      "XMM11", "XMM12", "XMM13", "XMM14", "XMM15"};

struct KindTally {
  uint32_t calls;
  uint32_t changed;
  uint32_t firstChangedCall;
  uint32_t firstChangedMask;  // bit i: GPR i; bit 8 + i: XMM6 + i
};
KindTally tallies[static_cast<int>(PluginCallKind::Count)];

}  // namespace

extern "C" {
// Distinct values, none of which a function would leave in a register by chance.
NonVolatileRegisters GameKnownNonVolatiles = {
    {0xB0B0000000000B01, 0xB0B0000000000B02, 0xB0B0000000000B03, 0xB0B0000000000B04,
     0xB0B0000000000B05, 0xB0B0000000000B06, 0xB0B0000000000B07, 0xB0B0000000000B08},
    {{0x8686000000000601, 0x8686000000000602},
     {0x8787000000000701, 0x8787000000000702},
     {0x8888000000000801, 0x8888000000000802},
     {0x8989000000000901, 0x8989000000000902},
     {0x8A8A000000000A01, 0x8A8A000000000A02},
     {0x8B8B000000000B01, 0x8B8B000000000B02},
     {0x8C8C000000000C01, 0x8C8C000000000C02},
     {0x8D8D000000000D01, 0x8D8D000000000D02},
     {0x8E8E000000000E01, 0x8E8E000000000E02},
     {0x8F8F000000000F01, 0x8F8F000000000F02}}};
NonVolatileRegisters GameObservedNonVolatiles;
uint64_t GameCallWithKnownNonVolatiles(const void* callee, const void* a, const void* b,
                                       const void* c);
}

// Saves the caller's non-volatile registers (with unwind information for the saves), paints the
// stack below its frame, loads the known values, calls, stores what came back, and restores.
asm(R"(
    .text
    .p2align 4
    .globl GameCallWithKnownNonVolatiles
    .def GameCallWithKnownNonVolatiles; .scl 2; .type 32; .endef
    .seh_proc GameCallWithKnownNonVolatiles
GameCallWithKnownNonVolatiles:
    pushq %rbp
    .seh_pushreg %rbp
    pushq %rbx
    .seh_pushreg %rbx
    pushq %rdi
    .seh_pushreg %rdi
    pushq %rsi
    .seh_pushreg %rsi
    pushq %r12
    .seh_pushreg %r12
    pushq %r13
    .seh_pushreg %r13
    pushq %r14
    .seh_pushreg %r14
    pushq %r15
    .seh_pushreg %r15
    subq $0xC8, %rsp
    .seh_stackalloc 0xC8
    movaps %xmm6, 0x20(%rsp)
    .seh_savexmm %xmm6, 0x20
    movaps %xmm7, 0x30(%rsp)
    .seh_savexmm %xmm7, 0x30
    movaps %xmm8, 0x40(%rsp)
    .seh_savexmm %xmm8, 0x40
    movaps %xmm9, 0x50(%rsp)
    .seh_savexmm %xmm9, 0x50
    movaps %xmm10, 0x60(%rsp)
    .seh_savexmm %xmm10, 0x60
    movaps %xmm11, 0x70(%rsp)
    .seh_savexmm %xmm11, 0x70
    movaps %xmm12, 0x80(%rsp)
    .seh_savexmm %xmm12, 0x80
    movaps %xmm13, 0x90(%rsp)
    .seh_savexmm %xmm13, 0x90
    movaps %xmm14, 0xA0(%rsp)
    .seh_savexmm %xmm14, 0xA0
    movaps %xmm15, 0xB0(%rsp)
    .seh_savexmm %xmm15, 0xB0
    .seh_endprologue
    leaq -8(%rsp), %r10
    movq %rsp, GamePaintedStackTop(%rip)
    leaq -)" GAME_TEXT(GAME_PAINT_BYTES) R"((%rsp), %r11
1:
    movq $-1, (%r10)
    subq $8, %r10
    cmpq %r11, %r10
    jae 1b
    movq %rcx, %rax
    movq %rdx, %rcx
    movq %r8, %rdx
    movq %r9, %r8
    leaq GameKnownNonVolatiles(%rip), %r10
    movq 0x00(%r10), %rbx
    movq 0x08(%r10), %rbp
    movq 0x10(%r10), %rdi
    movq 0x18(%r10), %rsi
    movq 0x20(%r10), %r12
    movq 0x28(%r10), %r13
    movq 0x30(%r10), %r14
    movq 0x38(%r10), %r15
    movdqu 0x40(%r10), %xmm6
    movdqu 0x50(%r10), %xmm7
    movdqu 0x60(%r10), %xmm8
    movdqu 0x70(%r10), %xmm9
    movdqu 0x80(%r10), %xmm10
    movdqu 0x90(%r10), %xmm11
    movdqu 0xA0(%r10), %xmm12
    movdqu 0xB0(%r10), %xmm13
    movdqu 0xC0(%r10), %xmm14
    movdqu 0xD0(%r10), %xmm15
    callq *%rax
    leaq GameObservedNonVolatiles(%rip), %r10
    movq %rbx, 0x00(%r10)
    movq %rbp, 0x08(%r10)
    movq %rdi, 0x10(%r10)
    movq %rsi, 0x18(%r10)
    movq %r12, 0x20(%r10)
    movq %r13, 0x28(%r10)
    movq %r14, 0x30(%r10)
    movq %r15, 0x38(%r10)
    movdqu %xmm6, 0x40(%r10)
    movdqu %xmm7, 0x50(%r10)
    movdqu %xmm8, 0x60(%r10)
    movdqu %xmm9, 0x70(%r10)
    movdqu %xmm10, 0x80(%r10)
    movdqu %xmm11, 0x90(%r10)
    movdqu %xmm12, 0xA0(%r10)
    movdqu %xmm13, 0xB0(%r10)
    movdqu %xmm14, 0xC0(%r10)
    movdqu %xmm15, 0xD0(%r10)
    movaps 0x20(%rsp), %xmm6
    movaps 0x30(%rsp), %xmm7
    movaps 0x40(%rsp), %xmm8
    movaps 0x50(%rsp), %xmm9
    movaps 0x60(%rsp), %xmm10
    movaps 0x70(%rsp), %xmm11
    movaps 0x80(%rsp), %xmm12
    movaps 0x90(%rsp), %xmm13
    movaps 0xA0(%rsp), %xmm14
    movaps 0xB0(%rsp), %xmm15
    addq $0xC8, %rsp
    popq %r15
    popq %r14
    popq %r13
    popq %r12
    popq %rsi
    popq %rdi
    popq %rbx
    popq %rbp
    retq
    .seh_endproc
)");

uint64_t CallPluginKeepingRegisters(PluginCallKind kind, const void* callee, const void* a,
                                    const void* b, const void* c) {
  const uint64_t result = GameCallWithKnownNonVolatiles(callee, a, b, c);
  KindTally& tally = tallies[static_cast<int>(kind)];
  uint32_t mask = 0;
  for (int i = 0; i < 8; ++i) {
    if (GameObservedNonVolatiles.gpr[i] != GameKnownNonVolatiles.gpr[i]) mask |= 1u << i;
  }
  for (int i = 0; i < 10; ++i) {
    if (GameObservedNonVolatiles.xmm[i][0] != GameKnownNonVolatiles.xmm[i][0] ||
        GameObservedNonVolatiles.xmm[i][1] != GameKnownNonVolatiles.xmm[i][1]) {
      mask |= 1u << (8 + i);
    }
  }
  ++tally.calls;
  if (mask != 0) {
    if (tally.changed == 0) {
      tally.firstChangedCall = tally.calls;
      tally.firstChangedMask = mask;
    }
    ++tally.changed;
  }
  return result;
}

void CheckRegistersKept(PluginCallKind kind, const char* name) {
  const KindTally& tally = tallies[static_cast<int>(kind)];
  Line detail;
  if (tally.calls == 0) detail.Add("no such call was made");
  if (tally.changed != 0) {
    detail.Decimal(tally.changed).Add(" of ").Decimal(tally.calls).Add(" call(s) changed");
    for (int i = 0; i < 18; ++i) {
      if (tally.firstChangedMask & (1u << i))
        detail.Add(" ").Add(i < 8 ? GprNames[i] : XmmNames[i - 8]);
    }
    detail.Add(" (first in call ").Decimal(tally.firstChangedCall).Add(")");
  }
  Check(name, tally.calls != 0 && tally.changed == 0, detail);
}
