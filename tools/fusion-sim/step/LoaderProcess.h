// The two ends of a loading process. The child sends the design's bytes
// (DesignCodec) on one descriptor, or one line naming the file and the cause
// on another and exits with kRefusedStatus. The parent reads both, waits for
// the child (or leaves that to a thread once a whole design has arrived) and
// tells a refusal from a crash.
#pragma once

#include <sys/types.h>

#include <functional>
#include <string>

#include "step/StepDesign.h"

namespace steploader {

// Exit status of a loading process that refused the file.
inline constexpr int kRefusedStatus = 2;

// A file that keeps OpenCASCADE busy longer than this is given up (the reader
// program's alarm), so that a malformed file cannot hang the host program.
inline constexpr unsigned kReadTimeLimitSeconds = 600;

// Child side: runs `load` and sends its design to `designFd`, or what it
// throws to `errorFd`. Returns the exit status: 0, kRefusedStatus, or 1 when
// the reply could not be written.
int sendDesign(int designFd, int errorFd, const std::string& path,
               const std::function<Design()>& load);

// What the parent does with a child that has sent a whole design.
enum class ChildExit {
    Wait,              // wait for it to end and count its processor time
    ReapInBackground,  // go on at once; a thread collects it when it ends
};

// Parent side: reads both descriptors to their end and closes them, and
// returns the child's design. Throws LoadError naming `path`: the child's own
// message when it refused the file, otherwise how it died. Text the child
// wrote to `errorFd` besides its message (warnings, sanitizer reports) is
// passed on to this process's standard error. With ChildExit::Wait the design
// carries the child's processor time. With ReapInBackground a child that
// closed both descriptors and sent a design that decodes is not waited for:
// ending a process that has mapped OpenCASCADE's libraries takes milliseconds.
Design receiveDesign(const std::string& path, pid_t child, int designFd, int errorFd,
                     ChildExit exit = ChildExit::Wait);

}  // namespace steploader
