// The module's lock count: live extractor objects, references to the class
// factory held outside the module and LockServer(TRUE) keep the module
// loaded (DllCanUnloadNow answers S_FALSE while it is above 0).
#pragma once

void LockModule();
void UnlockModule();
