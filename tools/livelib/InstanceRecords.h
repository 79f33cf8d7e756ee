// Instance records: every running renderer publishes one small file in a
// per-user runtime folder so that the live library can list the instances.
//
// Folder: $QUORELL_RUNTIME_DIR when set, else on POSIX
// ${XDG_RUNTIME_DIR:-/tmp}/quorell-<uid>/instances and on Windows
// <local application data>\Quorell\instances. One file per instance,
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
    // When the process started (clock ticks after boot as /proc tells it, or
    // the process creation time on Windows in 100 ns units); 0
    // when unknown. Tells the publisher apart from a later process that got
    // the same id.
    uint64_t startTime = 0;
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

// The start time of a running process; 0 when it has ended (also while it
// waits to be reaped) or cannot be told.
uint64_t processStartTime(int64_t processId);
// Whether this system tells start times at all.
bool startTimesKnown();

// Whether the process that published record still runs: its id is alive and,
// when the record knows it, the start time is the same.
bool publisherRunning(const InstanceRecord& record);

// The records of live processes, ordered by process id. Records of
// processes that no longer exist, records whose process id now belongs to
// another process, and unreadable records are removed.
std::vector<InstanceRecord> runningInstances();

// The instance list the query interface hands out.
std::string instanceListXml(const std::vector<InstanceRecord>& instances);

}  // namespace livelink
