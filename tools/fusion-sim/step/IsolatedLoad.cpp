#include "step/IsolatedLoad.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "step/LoaderProcess.h"
#include "step/StepReader.h"

namespace steploader {

Design loadInChild(const std::string& path, const std::function<Design()>& load) {
    int design[2];
    int errors[2];
    if (::pipe(design) != 0) {
        throw LoadError(path + ": cannot create a pipe: " + std::strerror(errno));
    }
    if (::pipe(errors) != 0) {
        const int error = errno;
        ::close(design[0]);
        ::close(design[1]);
        throw LoadError(path + ": cannot create a pipe: " + std::strerror(error));
    }
    std::fflush(nullptr);  // the child must not repeat buffered output
    const pid_t child = ::fork();
    if (child < 0) {
        const int error = errno;
        for (int fd : {design[0], design[1], errors[0], errors[1]}) ::close(fd);
        throw LoadError(path + ": cannot start the loading process: " + std::strerror(error));
    }
    if (child == 0) {
        ::close(design[0]);
        ::close(errors[0]);
        // OpenCASCADE reports progress and warnings on standard output, which
        // belongs to the host program.
        const int devNull = ::open("/dev/null", O_WRONLY);
        if (devNull >= 0) {
            ::dup2(devNull, STDOUT_FILENO);
            ::close(devNull);
        }
        ::_exit(sendDesign(design[1], errors[1], path, load));
    }
    ::close(design[1]);
    ::close(errors[1]);
    return receiveDesign(path, child, design[0], errors[0]);
}

Design loadStepDesign(const std::string& path, const Options& options) {
    // Refuse what is plainly not STEP without starting a process.
    checkStepFrame(path);
    return loadInChild(path, [&] { return readStepDesign(path, options); });
}

}  // namespace steploader
