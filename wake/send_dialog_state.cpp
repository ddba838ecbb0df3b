#include "wake/send_dialog_state.h"

#include "res/resource.h"
#include "wake/wake_sender.h"

namespace kivrel {

void SendDialogState::Start() {
    m_phase = kSending;
    m_nRow = 0;
}

int SendDialogState::TakeResultRow() {
    return m_nRow++;
}

bool SendDialogState::Finish() {
    m_phase = m_closeRequested ? kClosed : kFinished;
    return m_closeRequested;
}

SendDialogState::OkAction SendDialogState::PressOk() {
    if (IsSending()) {
        m_phase = kAborting;
        return kSignalAbort;
    }
    m_phase = kClosed;
    return kEndDialog;
}

SendDialogState::OkAction SendDialogState::RequestClose() {
    m_closeRequested = true;
    return PressOk();
}

unsigned SendDialogState::ButtonTextId() const {
    switch (m_phase) {
    case kSending:
        return IDS_SEND_ABORT;
    case kAborting:
        return IDS_SEND_ABORTING;
    default:
        return IDS_SEND_CLOSE;
    }
}

unsigned SendDialogState::StatusTextId(int sendResult) {
    switch (sendResult) {
    case SEND_OK:
        return IDS_SEND_DONE;
    case SEND_ERR_NO_DESTINATION:
        return IDS_SEND_NO_DESTINATION;
    default:
        return IDS_SEND_FAILED;
    }
}

} // namespace kivrel
