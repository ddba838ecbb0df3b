// What the send progress dialog shows and does, decided without windows: its
// button's caption and enabled state, the row each result lands in, and what
// the OK button and a close request from outside do in each state.
#pragma once

namespace kivrel {

class SendDialogState {
public:
    enum Phase { kSending, kAborting, kFinished, kClosed };
    enum OkAction { kSignalAbort, kEndDialog };

    // Before initialisation the dialog counts as finished: nothing is sending.
    Phase GetPhase() const { return m_phase; }
    bool IsSending() const { return m_phase == kSending || m_phase == kAborting; }
    int NextRow() const { return m_nRow; }

    // At initialisation, just before the worker is started.
    void Start();
    // The row that receives this result; results fill the rows in order,
    // whatever the user has selected meanwhile.
    int TakeResultRow();
    // The worker's last report, or the worker could not be started. True when
    // a close request was waiting for it: the dialog ends now.
    bool Finish();
    // The button or Enter. While sending this only ever asks for an abort.
    OkAction PressOk();
    // The program is closing: like OK, and in addition the dialog ends by
    // itself once the run has stopped.
    OkAction RequestClose();

    unsigned ButtonTextId() const;
    bool ButtonEnabled() const { return m_phase != kAborting; }

    static unsigned StatusTextId(int sendResult);

private:
    Phase m_phase = kFinished;
    int m_nRow = 0;
    bool m_closeRequested = false;
};

} // namespace kivrel
