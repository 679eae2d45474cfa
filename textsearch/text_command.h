// The text command: the options dialog, then the results dialog.
#pragma once

#include <cstdint>

#include "host/host_services.h"

// Answers 1 in every case.
int16_t runTextCommand(HostWindow parent);
