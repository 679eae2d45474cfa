// Visual styles for the simulated host, as a host whose executable carries a
// common-controls version 6 manifest has them: the dialogs it creates,
// the plug-in's included, get themed controls.
#pragma once

// The executable's resource id of the manifest. Not 1, the id that would
// give every run of the host styles: only a run that asks gets them.
#define VISUAL_STYLES_MANIFEST_ID 2

// Activates the manifest for the calling thread for the rest of the process
// and loads the version 6 controls. Answers false when that failed.
bool useVisualStyles();
