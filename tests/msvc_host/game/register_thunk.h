// Every call into the plugin goes through a thunk that loads known values into the registers
// the Microsoft x64 convention makes the callee keep (RBX, RBP, RDI, RSI, R12 to R15, XMM6 to
// XMM15) and compares them afterwards. The thunk's direct callee (the function that makes the
// plugin call) uses none of them itself, so it cannot repair a clobber before the thunk sees it.
#pragma once

#include <stdint.h>

enum class PluginCallKind : uint8_t { Load, Listener, LoadGameEvent, PlayerUpdateEvent, Count };

// Paints the stack below, then calls callee(a, b, c) with the known values in place; returns
// what the callee returned in RAX. A changed register is noted for the kind of call.
uint64_t CallPluginKeepingRegisters(PluginCallKind kind, const void* callee, const void* a,
                                    const void* b, const void* c);

// One check line: every call of the kind so far kept every non-volatile register.
void CheckRegistersKept(PluginCallKind kind, const char* name);
