#include "wake/send_run.h"

namespace kivrel {

WakeTarget WakeTargetOf(const MacBytes& mac, const AddressBook& book) {
    WakeTarget target;
    target.mac = mac;
    const auto kept = book.find(mac);
    if (kept != book.end()) {
        target.destination = kept->second.destination;
        target.port = kept->second.port;
    }
    return target;
}

std::unique_ptr<SendJob> SendRun::MakeJob(const TargetList& targets,
                                          const AddressBook& book) const {
    auto job = std::make_unique<SendJob>();
    job->targets.reserve(static_cast<std::size_t>(targets.size()));
    for (const TargetEntry& target : targets) {
        job->targets.push_back(WakeTargetOf(target.mac, book));
    }
    job->abort = m_abort;
    return job;
}

} // namespace kivrel
