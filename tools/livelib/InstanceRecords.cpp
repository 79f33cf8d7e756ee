#include "InstanceRecords.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "AtomicFile.h"
#include "platform/Platform.h"

namespace fs = std::filesystem;

namespace livelink {

namespace {
constexpr const char* kSuffix = ".instance";
}

std::string instanceRecordPath(int64_t processId) {
    return platform::utf8Path(platform::systemPath(instanceFolder()) /
                              (std::to_string(processId) + kSuffix));
}

bool publishInstance(const InstanceRecord& record, std::string* error) {
    std::ostringstream text;
    text << "process_id=" << record.processId << "\n"
         << "version_major=" << record.versionMajor << "\n"
         << "version_minor=" << record.versionMinor << "\n"
         << "livelink_port=" << record.livelinkPort << "\n";
    if (record.startTime != 0) text << "start_time=" << record.startTime << "\n";
    const std::string bytes = text.str();
    return writeFileAtomically(
        instanceRecordPath(record.processId),
        [&](FILE* file) {
            return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
        },
        error);
}

void withdrawInstance(int64_t processId) {
    std::error_code ec;
    fs::remove(platform::systemPath(instanceRecordPath(processId)), ec);
}

bool readInstanceRecord(const std::string& path, InstanceRecord* record) {
    std::ifstream in(platform::systemPath(path));
    if (!in) return false;
    InstanceRecord r;
    int seen = 0;
    std::string line;
    while (std::getline(in, line)) {
        const auto eq = line.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = line.substr(0, eq);
        char* end = nullptr;
        const long long value = std::strtoll(line.c_str() + eq + 1, &end, 10);
        if (end == line.c_str() + eq + 1) return false;
        if (key == "process_id")
            r.processId = value, seen |= 1;
        else if (key == "version_major")
            r.versionMajor = static_cast<int32_t>(value), seen |= 2;
        else if (key == "version_minor")
            r.versionMinor = static_cast<int32_t>(value), seen |= 4;
        else if (key == "livelink_port")
            r.livelinkPort = static_cast<int32_t>(value), seen |= 8;
        else if (key == "start_time")
            r.startTime = static_cast<uint64_t>(value);
    }
    if (seen != 15 || r.processId <= 0) return false;
    *record = r;
    return true;
}

bool publisherRunning(const InstanceRecord& record) {
    if (!processAlive(record.processId)) return false;
    if (record.startTime == 0) return true;
    const uint64_t now = processStartTime(record.processId);
    // Start times cannot be told here: the process id alone has to do.
    if (now == 0) return !startTimesKnown();
    return now == record.startTime;
}

std::vector<InstanceRecord> runningInstances() {
    std::vector<InstanceRecord> found;
    std::error_code ec;
    fs::directory_iterator it(platform::systemPath(instanceFolder()), ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        const fs::path path = it->path();
        if (path.extension() != kSuffix) continue;
        InstanceRecord record;
        const bool readable = readInstanceRecord(platform::utf8Path(path), &record);
        // A record is only trusted under its own name, so a copied or
        // renamed file cannot stand for another process.
        if (!readable || path.stem().string() != std::to_string(record.processId) ||
            !publisherRunning(record)) {
            std::error_code ignored;
            fs::remove(path, ignored);
            continue;
        }
        found.push_back(record);
    }
    std::sort(found.begin(), found.end(), [](const InstanceRecord& a, const InstanceRecord& b) {
        return a.processId < b.processId;
    });
    return found;
}

std::string instanceListXml(const std::vector<InstanceRecord>& instances) {
    std::ostringstream xml;
    xml << "<instances>\n";
    for (const InstanceRecord& r : instances) {
        xml << "  <instance>"
            << "<version_major>" << r.versionMajor << "</version_major>"
            << "<version_minor>" << r.versionMinor << "</version_minor>"
            << "<process_id>" << r.processId << "</process_id>"
            << "<livelink_port>" << r.livelinkPort << "</livelink_port>"
            << "</instance>\n";
    }
    xml << "</instances>\n";
    return xml.str();
}

}  // namespace livelink
