#include "wake/send_dialog_state.h"

#include "res/resource.h"
#include "wake/wake_sender.h"

#include <gtest/gtest.h>

namespace kivrel {
namespace {

void ExpectButton(const SendDialogState& state, unsigned textId, bool enabled) {
    EXPECT_EQ(state.ButtonTextId(), textId);
    EXPECT_EQ(state.ButtonEnabled(), enabled);
}

TEST(SendDialogState, FullRunFillsRowsInOrderThenCloses) {
    SendDialogState state;
    EXPECT_FALSE(state.IsSending());
    state.Start();
    EXPECT_TRUE(state.IsSending());
    ExpectButton(state, IDS_SEND_ABORT, true);
    EXPECT_EQ(state.TakeResultRow(), 0);
    EXPECT_EQ(state.TakeResultRow(), 1);
    EXPECT_EQ(state.TakeResultRow(), 2);
    EXPECT_EQ(state.NextRow(), 3);
    EXPECT_EQ(state.GetPhase(), SendDialogState::kSending); // results change no state

    state.Finish();
    EXPECT_FALSE(state.IsSending());
    ExpectButton(state, IDS_SEND_CLOSE, true);
    EXPECT_EQ(state.PressOk(), SendDialogState::kEndDialog);
    EXPECT_EQ(state.GetPhase(), SendDialogState::kClosed);
}

TEST(SendDialogState, OkWhileSendingAbortsAndOnlyTheLastReportCloses) {
    SendDialogState state;
    state.Start();
    state.TakeResultRow();
    EXPECT_EQ(state.PressOk(), SendDialogState::kSignalAbort);
    ExpectButton(state, IDS_SEND_ABORTING, false);
    EXPECT_TRUE(state.IsSending());

    // Enter on the disabled default button still reaches the handler.
    EXPECT_EQ(state.PressOk(), SendDialogState::kSignalAbort);
    ExpectButton(state, IDS_SEND_ABORTING, false);

    // The packet that was in flight still lands in its row.
    EXPECT_EQ(state.TakeResultRow(), 1);
    state.Finish();
    ExpectButton(state, IDS_SEND_CLOSE, true);
    EXPECT_EQ(state.PressOk(), SendDialogState::kEndDialog);
}

TEST(SendDialogState, WorkerThatNeverStartedLeavesTheDialogClosable) {
    SendDialogState state;
    state.Start();
    state.Finish();
    ExpectButton(state, IDS_SEND_CLOSE, true);
    EXPECT_EQ(state.NextRow(), 0);
    EXPECT_EQ(state.PressOk(), SendDialogState::kEndDialog);
}

TEST(SendDialogState, StatusTextTellsOnlySentFromFailed) {
    EXPECT_EQ(SendDialogState::StatusTextId(SEND_OK), static_cast<unsigned>(IDS_SEND_DONE));
    for (int failure :
         {int(SEND_ERR_SOCKET), int(SEND_ERR_BROADCAST), int(SEND_ERR_SENDTO), 1, -2}) {
        EXPECT_EQ(SendDialogState::StatusTextId(failure), static_cast<unsigned>(IDS_SEND_FAILED))
            << failure;
    }
}

} // namespace
} // namespace kivrel
