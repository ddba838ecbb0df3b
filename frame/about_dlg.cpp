#include "frame/about_dlg.h"

#include "res/resource.h"

CAboutDlg::CAboutDlg() : win::Dialog(IDD_ABOUTBOX) {}
