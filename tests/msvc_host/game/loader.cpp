#include "game/loader.h"

#include "game/checks.h"
#include "game/engine_calls.h"
#include "game/engine_gate.h"
#include "game/narrow_results.h"
#include "game/register_thunk.h"
#include "seam.h"

namespace {

constexpr uint32_t MessagingServiceId = 1;
constexpr uint32_t MaxListeners = 4;

LoaderInterface loaderInterface;
MessagingService messagingService;
ListenerRegistration listeners[MaxListeners];
uint32_t listenerCount = 0;
uint64_t messagesDelivered = 0;

}  // namespace

extern "C" {

uint64_t AcquirePluginHandleBody() {
  RecordEngineCall(EngineFunction::AcquirePluginHandle);
  return 0xDEADBEEF00000000 | PluginHandle;  // a 32-bit result with garbage above
}

uint64_t LookupServiceBody(uint32_t serviceId) {
  RecordEngineCall(EngineFunction::LookupService, serviceId);
  return serviceId == MessagingServiceId ? reinterpret_cast<uint64_t>(&messagingService) : 0;
}

uint64_t AddMessageListenerBody(uint32_t handle, const char* sender, LoaderListener listener) {
  RecordEngineCall(EngineFunction::AddMessageListener, handle, reinterpret_cast<uint64_t>(sender),
                   reinterpret_cast<uint64_t>(listener));
  if (listenerCount < MaxListeners) {
    listeners[listenerCount++] = {handle, sender, listener, GlueBoxCount()};
  }
  return NarrowResult(1);
}

// The thunk's direct callees for the loader's calls into the plugin.
uint64_t EnterPluginLoad(PluginLoadFunction load, const LoaderInterface* loader, const void*) {
  return load(loader) ? 1 : 0;
}

uint64_t EnterPluginListener(LoaderListener listener, LoaderMessage* message, const void*) {
  listener(message);
  return ++messagesDelivered;
}

}  // extern "C"

GAME_GATED_ENTRY(AcquirePluginHandleEntry, AcquirePluginHandleBody);
GAME_GATED_ENTRY(LookupServiceEntry, LookupServiceBody);
GAME_GATED_ENTRY(AddMessageListenerEntry, AddMessageListenerBody);

void PrepareLoaderRecords() {
  for (unsigned char& byte : loaderInterface.unread00) byte = 0xEE;
  loaderInterface.lookupService = reinterpret_cast<const void*>(&LookupServiceEntry);
  loaderInterface.acquirePluginHandle = reinterpret_cast<const void*>(&AcquirePluginHandleEntry);
  messagingService.unread00 = &loaderInterface;
  messagingService.addMessageListener = reinterpret_cast<const void*>(&AddMessageListenerEntry);
}

bool StartPlugin(const PluginExports& exports) {
  BeginStep("VKRXPlugin_Load, called by the loader");
  const uint64_t started = CallPluginKeepingRegisters(
      PluginCallKind::Load, reinterpret_cast<const void*>(&EnterPluginLoad),
      reinterpret_cast<const void*>(exports.load), &loaderInterface, nullptr);
  return started != 0;
}

uint32_t ListenerCount() {
  return listenerCount;
}

const ListenerRegistration& ListenerAt(uint32_t index) {
  return listeners[index];
}

void SendLoaderMessage(uint32_t type) {
  static const char* const steps[] = {
      "the loader's message of type 0", "the loader's message of type 1",
      "the loader's message of type 2", "the loader's message of type 3"};
  BeginStep(type < 4 ? steps[type] : "a loader message");
  for (uint32_t i = 0; i < listenerCount; ++i) {
    LoaderMessage message{"VKRX", type, 0x5A5A5A5A, &loaderInterface};
    CallPluginKeepingRegisters(
        PluginCallKind::Listener, reinterpret_cast<const void*>(&EnterPluginListener),
        reinterpret_cast<const void*>(listeners[i].listener), &message, nullptr);
  }
}
