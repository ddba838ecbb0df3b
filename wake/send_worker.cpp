#include "wake/send_worker.h"

#include "wake/wake_sender.h"

namespace kivrel {

void SendWorker(const std::vector<MacBytes>& macs, AbortSignal& abort, SendProgress& progress,
                SendFunction send) {
    // The wait comes before each send, so none follows the last one.
    for (const MacBytes& mac : macs) {
        if (abort.WaitForAbort(kSendIntervalMs)) {
            break;
        }
        progress.Report(send(mac));
    }
    progress.Finished();
}

void SendWorker(const std::vector<MacBytes>& macs, AbortSignal& abort, SendProgress& progress) {
    SendWorker(macs, abort, progress, SendWakePacket);
}

} // namespace kivrel
