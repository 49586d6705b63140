// The main heap and the program's instance handle: what every library takes
// from the process. The object heap belongs to ObjectList.
//   HeapMainCreate    the growable main heap (4000 bytes to start); 0 on failure
//   HeapMainDestroy   destroys it whole, with everything still in it
//   HeapMain          the main heap
//   InstanceSet       keeps the program's module handle
//   InstanceHandle    the module handle kept at start-up
#pragma once
#include <windows.h>

int HeapMainCreate();
void HeapMainDestroy();
HANDLE HeapMain();
void InstanceSet(HINSTANCE instance);
HINSTANCE InstanceHandle();
