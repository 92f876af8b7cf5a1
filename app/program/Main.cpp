// The program's entry: the application object and the framework's start.
#include "app/CBrisquelApp.h"

CBrisquelApp theApp;

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR commandLine, int show) {
    return AfxWinMain(instance, previous, commandLine, show);
}
