#include "wake/send_worker.h"

namespace kivrel {

void SendWorker(const std::vector<WakeTarget>& targets, AbortSignal& abort, SendProgress& progress,
                SendFunction send) {
    // The wait comes before each send, so none follows the last one.
    for (const WakeTarget& target : targets) {
        if (abort.WaitForAbort(kSendIntervalMs)) {
            break;
        }
        progress.Report(send(target));
    }
    progress.Finished();
}

void SendWorker(const std::vector<WakeTarget>& targets, AbortSignal& abort,
                SendProgress& progress) {
    SendWorker(targets, abort, progress, SendWake);
}

} // namespace kivrel
