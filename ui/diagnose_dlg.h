// Why a PC may not wake: the diagnosis's lines in one read-only text the user
// can select and copy. The lines are decided elsewhere; this only shows them.
#pragma once

#include "status/diagnosis.h"
#include "win/controls.h"
#include "win/dialog.h"

#include <string>
#include <vector>

class CDiagnoseDlg final : public win::Dialog {
public:
    explicit CDiagnoseDlg(const std::vector<kivrel::DiagnosisLine>& lines);

protected:
    bool OnInitDialog() override;

private:
    win::Edit m_text;
    std::wstring m_shown;
};
