#include "app/wake_app.h"

namespace {

CWakeApp theApp;

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return theApp.Main(); }
