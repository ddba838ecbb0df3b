// The about box: the icon, the name and the version, and OK.
#pragma once

#include "win/dialog.h"

class CAboutDlg final : public win::Dialog {
public:
    CAboutDlg();
};
