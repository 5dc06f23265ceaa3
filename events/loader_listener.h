#pragma once

#include "host/loader_interface.h"

// Registered with the loader under "VKRX" when armed: message type 2 attaches the sinks.
void HandleLoaderMessage(LoaderMessage* message);
