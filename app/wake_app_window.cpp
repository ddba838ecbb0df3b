#include "app/wake_app.h"

// The window is not built yet: the windowed start ends quietly.
bool CWakeApp::StartWindow() { return false; }

void CWakeApp::OnAppAbout() {}
