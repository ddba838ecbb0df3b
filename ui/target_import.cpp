#include "ui/target_import.h"

#include "res/resource.h"
#include "targets/target_csv.h"

#include <set>
#include <utility>

namespace kivrel {
namespace {

ImportPlan Fault(unsigned messageId, unsigned long number) {
    ImportPlan plan;
    plan.messageId = messageId;
    plan.fault = true;
    plan.first = number;
    return plan;
}

unsigned RowFaultMessage(CsvImportError error) {
    switch (error) {
    case CSV_ERR_QUOTE:
        return IDS_IMPORT_QUOTE;
    case CSV_ERR_COLUMNS:
        return IDS_IMPORT_COLUMNS;
    case CSV_ERR_NAME_EMPTY:
        return IDS_IMPORT_NAME_EMPTY;
    case CSV_ERR_MAC:
        return IDS_IMPORT_BAD_MAC;
    case CSV_ERR_PORT:
        return IDS_IMPORT_BAD_PORT;
    case CSV_ERR_CODE_PAGE:
    case CSV_OK:
        break;
    }
    return IDS_IMPORT_CODE_PAGE;
}

} // namespace

ImportPlan PlanImport(const TargetList& list, FileOutcome read, const std::string& bytes,
                      const TextCodec& codec) {
    if (read == FileOutcome::TooBig) {
        return Fault(IDS_IMPORT_TOO_BIG, kMaxImportBytes >> 20);
    }
    if (read != FileOutcome::Done) {
        return Fault(IDS_IMPORT_UNREADABLE, 0);
    }
    const CsvImport csv = ParseTargetCsv(bytes, codec);
    if (csv.error != CSV_OK) {
        ImportPlan fault = Fault(RowFaultMessage(csv.error), csv.line);
        fault.headings = csv.headings;
        return fault;
    }
    // A row the file repeats is held by the list once its first copy is added.
    std::set<std::pair<std::string, MacBytes>> held;
    for (const TargetEntry& entry : list) {
        held.emplace(entry.name, entry.mac);
    }
    ImportPlan plan;
    for (std::int32_t i = 0; i < csv.entries.size(); ++i) {
        const TargetEntry& entry = csv.entries.at(i);
        if (held.emplace(entry.name, entry.mac).second) {
            plan.added.Append(entry);
            plan.kept.push_back(csv.kept[static_cast<std::size_t>(i)]);
        } else {
            ++plan.second;
        }
    }
    if (plan.added.size() > kMaxImportedList - list.size()) {
        return Fault(IDS_IMPORT_TOO_MANY, kMaxImportedList);
    }
    plan.messageId = plan.second > 0 ? IDS_IMPORT_DONE : IDS_IMPORT_ADDED;
    plan.first = static_cast<unsigned long>(plan.added.size());
    return plan;
}

} // namespace kivrel
