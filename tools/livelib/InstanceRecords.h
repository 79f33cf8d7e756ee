// Instance records: every running renderer publishes one small file in a
// per-user runtime folder so that the live library can list the instances.
//
// Folder: $QUORELL_RUNTIME_DIR when set, else
// ${XDG_RUNTIME_DIR:-/tmp}/quorell-<uid>/instances. One file per instance,
// "<process id>.instance", holding "key=value" lines.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace livelink {

struct InstanceRecord {
    int64_t processId = 0;
    int32_t versionMajor = 0;
    int32_t versionMinor = 0;
    int32_t livelinkPort = 0;
};

std::string instanceFolder();
std::string instanceRecordPath(int64_t processId);

// Writes the record through a temporary file renamed into place, creating
// the folder when needed.
bool publishInstance(const InstanceRecord& record, std::string* error);
void withdrawInstance(int64_t processId);

// Reads one record file; false when it is not a complete record.
bool readInstanceRecord(const std::string& path, InstanceRecord* record);

bool processAlive(int64_t processId);

// The records of live processes, ordered by process id. Records of
// processes that no longer exist, and unreadable records, are removed.
std::vector<InstanceRecord> runningInstances();

// The instance list the query interface hands out.
std::string instanceListXml(const std::vector<InstanceRecord>& instances);

}  // namespace livelink
