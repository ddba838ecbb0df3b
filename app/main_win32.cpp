#include "app/safe_dll_search.h"
#include "app/wake_app.h"

namespace {

CWakeApp theApp;

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    UseSafeDllSearch();
    return theApp.Main();
}
