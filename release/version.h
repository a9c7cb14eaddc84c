// The program's version: the one place it is set. The About box, the version resources of both
// programs, vemo-cli --version, the release file names and the installer all take it from here.
// Plain preprocessor text, so that the resource compiler can include it too.
#pragma once

#define VEMO_VERSION_MAJOR 1
#define VEMO_VERSION_MINOR 3
#define VEMO_VERSION_LEVEL 11

#define VEMO_COMPANY "Pelk"
#define VEMO_COPYRIGHT "Copyright (C) 2026 Pelk"

#define VEMO_STRINGIZE2(x) #x
#define VEMO_STRINGIZE(x) VEMO_STRINGIZE2(x)

// "1.3.11": file names, the uninstall entry, vemo-cli --version.
#define VEMO_VERSION                 \
  VEMO_STRINGIZE(VEMO_VERSION_MAJOR) \
  "." VEMO_STRINGIZE(VEMO_VERSION_MINOR) "." VEMO_STRINGIZE(VEMO_VERSION_LEVEL)

// "Version 1.3 L11": the About box and the version text of the stored settings.
#define VEMO_VERSION_TEXT                                           \
  "Version " VEMO_STRINGIZE(VEMO_VERSION_MAJOR) "." VEMO_STRINGIZE( \
      VEMO_VERSION_MINOR) " L" VEMO_STRINGIZE(VEMO_VERSION_LEVEL)
