#pragma once
#include <windows.h>

// OLE for the calling thread. Every UI thread initialises its own apartment.
// True when OLE is (now) initialised on this thread; a second call does nothing.
BOOL AfxOleInit();
// Ends what AfxOleInit began on this thread. The framework calls it when one of its
// threads ends, and AfxWinMain on the main thread.
void AfxOleTerm();
// Whether AfxOleInit succeeded on this thread and AfxOleTerm has not run since.
bool AfxOleIsInitialized();
