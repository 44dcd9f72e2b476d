// Filling the ImageTable from the resources of a loaded module.
#pragma once

#include <windows.h>

// Fills the ImageTable (image_table.h) from the BITMAP and "PNG" resources of `module`, which
// must stay loaded until freeImageTable. A second call does nothing.
void loadImageTable(HINSTANCE module);
