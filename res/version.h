// The installer's version; read by the resource script (the version resource) and by the
// application's code (its log, report and help link), so plain macros.
#pragma once

#define TORVIN_VERSION_NUMBERS 1, 0, 0, 0
#define TORVIN_VERSION_TEXT "1.0.0.0"
