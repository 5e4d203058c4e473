// Process entry of Lanternquill.
#include "app/ReaderApp.h"

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, PWSTR lpCmdLine, int nCmdShow)
{
    // The application object registers itself when it is constructed; it lives in a library, and naming it
    // here is also what links it in.
    if (AfxGetApp() != &theApp)
        return -1;
    return AfxWinMain(hInstance, hPrevInstance, lpCmdLine, nCmdShow);
}
