// One run of the send worker as the dialog starts it. The worker thread owns
// its job, a copy of the targets and a share of the abort event, so that neither
// can go while it runs, whatever ends the dialog. The dialog holds the run,
// which keeps the other share and, once the dialog goes, asks a worker still
// running to stop at its next wait.
#pragma once

#include "targets/address_file.h"
#include "targets/target_list.h"
#include "wake/abort_event.h"
#include "wake/send_worker.h"
#include "wake/wake_sender.h"

#include <memory>
#include <vector>

namespace kivrel {

// A PC's wake as kept for its MAC: through its destination and port, if it has them.
WakeTarget WakeTargetOf(const MacBytes& mac, const AddressBook& book);

struct SendJob {
    std::vector<WakeTarget> targets;
    std::shared_ptr<AbortEvent> abort;

    // The worker thread's whole work.
    void Run(SendProgress& progress, SendFunction send = SendWake) {
        SendWorker(targets, *abort, progress, send);
    }
};

class SendRun {
public:
    SendRun() : m_abort(std::make_shared<AbortEvent>()) {}
    ~SendRun() { Abort(); }
    SendRun(const SendRun&) = delete;
    SendRun& operator=(const SendRun&) = delete;

    // The worker stops at its next wait.
    void Abort() { m_abort->Set(); }
    // What the worker thread takes along, for these targets in this order,
    // each through what the book keeps for its MAC.
    std::unique_ptr<SendJob> MakeJob(const TargetList& targets,
                                     const AddressBook& book = AddressBook()) const;

private:
    std::shared_ptr<AbortEvent> m_abort;
};

} // namespace kivrel
