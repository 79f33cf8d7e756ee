#include "InstanceRecords.h"

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace livelink {

namespace {
constexpr const char* kSuffix = ".instance";
}

std::string instanceFolder() {
    if (const char* dir = std::getenv("QUORELL_RUNTIME_DIR"); dir && *dir) return dir;
    const char* base = std::getenv("XDG_RUNTIME_DIR");
    std::string root = base && *base ? base : "/tmp";
    return root + "/quorell-" + std::to_string(::getuid()) + "/instances";
}

std::string instanceRecordPath(int64_t processId) {
    return instanceFolder() + "/" + std::to_string(processId) + kSuffix;
}

bool publishInstance(const InstanceRecord& record, std::string* error) {
    std::error_code ec;
    const std::string folder = instanceFolder();
    fs::create_directories(folder, ec);
    if (ec) {
        if (error) *error = "cannot create " + folder + ": " + ec.message();
        return false;
    }
    const std::string path = instanceRecordPath(record.processId);
    const std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::trunc);
        out << "process_id=" << record.processId << "\n"
            << "version_major=" << record.versionMajor << "\n"
            << "version_minor=" << record.versionMinor << "\n"
            << "livelink_port=" << record.livelinkPort << "\n";
        if (!out.flush()) {
            if (error) *error = "cannot write " + temporary;
            return false;
        }
    }
    fs::rename(temporary, path, ec);
    if (ec) {
        if (error) *error = "cannot rename " + temporary + " to " + path + ": " + ec.message();
        fs::remove(temporary, ec);
        return false;
    }
    return true;
}

void withdrawInstance(int64_t processId) {
    std::error_code ec;
    fs::remove(instanceRecordPath(processId), ec);
}

bool readInstanceRecord(const std::string& path, InstanceRecord* record) {
    std::ifstream in(path);
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
    }
    if (seen != 15 || r.processId <= 0) return false;
    *record = r;
    return true;
}

bool processAlive(int64_t processId) {
    if (processId <= 0 || processId > INT32_MAX) return false;
    if (::kill(static_cast<pid_t>(processId), 0) == 0) return true;
    return errno == EPERM;
}

std::vector<InstanceRecord> runningInstances() {
    std::vector<InstanceRecord> found;
    std::error_code ec;
    fs::directory_iterator it(instanceFolder(), ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        const fs::path path = it->path();
        if (path.extension() != kSuffix) continue;
        InstanceRecord record;
        const bool readable = readInstanceRecord(path.string(), &record);
        // A record is only trusted under its own name, so a copied or
        // renamed file cannot stand for another process.
        if (!readable || path.stem().string() != std::to_string(record.processId) ||
            !processAlive(record.processId)) {
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
