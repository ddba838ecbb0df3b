#include "wake/send_run.h"

namespace kivrel {

std::unique_ptr<SendJob> SendRun::MakeJob(const TargetList& targets) const {
    auto job = std::make_unique<SendJob>();
    job->macs.reserve(static_cast<std::size_t>(targets.size()));
    for (const TargetEntry& target : targets) {
        job->macs.push_back(target.mac);
    }
    job->abort = m_abort;
    return job;
}

} // namespace kivrel
