/* Stands in for avdevice-59.dll in the binder's tests: a library of that name that
   exports something, but not the function the program needs from it. */
__declspec(dllexport) unsigned avdevice_version(void) {
    return 0;
}
