// The STEP design loader of fusion-sim: the reader program reads the file
// through OpenCASCADE (tools/fusion-sim/step), and the records it sends back
// become a host document. fusion-sim itself never loads OpenCASCADE, which
// keeps its start quick for every other design and script.
#include "tools/fusion-sim/StepDesignLoader.h"

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <mutex>

#include "step/HostDocument.h"
#include "step/ReaderProcess.h"
#include "step/StepFileCheck.h"

namespace fusionsim {
namespace {

// The last file loaded, so that checking a design and then opening it reads
// the file once. A changed file (size or time) or changed settings read again.
// The copy is kept for the next load only.
struct LastLoad {
    std::string path;
    struct stat status {};
    steploader::Options options;
    host::DocumentData document;
};

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
           a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

bool sameOptions(const steploader::Options& a, const steploader::Options& b) {
    return a.deflection == b.deflection && a.relativeDeflection == b.relativeDeflection &&
           a.angularDeflection == b.angularDeflection;
}

// The reader program: FUSION_SIM_STEP_READER when set, otherwise the one
// installed beside this program.
std::string readerProgram() {
    if (const char* chosen = std::getenv("FUSION_SIM_STEP_READER"); chosen && *chosen) {
        return chosen;
    }
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return steploader::kReaderProgramName;
    return (self.parent_path() / steploader::kReaderProgramName).string();
}

host::DocumentData readStepFile(const std::string& path, const steploader::Options& options) {
    // Refuse what is plainly not STEP without starting the reader.
    steploader::checkStepFrame(path);
    return steploader::toHostDocument(steploader::readWithProgram(readerProgram(), path, options));
}

class StepDesignLoader : public DesignLoader {
  public:
    host::DocumentData load(const std::string& path) const override {
        static std::mutex guard;
        static std::optional<LastLoad> last;
        steploader::Options options;
        options.deflection = meshSettings().deflection;
        options.angularDeflection = meshSettings().angularDeflection;
        struct stat status {};
        const bool known = ::stat(path.c_str(), &status) == 0;
        std::lock_guard<std::mutex> lock(guard);
        if (known && last && last->path == path && sameFile(last->status, status) &&
            sameOptions(last->options, options)) {
            // Handed out once: the check of a design and its opening right after.
            host::DocumentData document = std::move(last->document);
            last.reset();
            return document;
        }
        try {
            host::DocumentData document = readStepFile(path, options);
            if (known) last = LastLoad{path, status, options, document};
            return document;
        } catch (const steploader::LoadError& error) {
            // The message already starts with the file's name.
            const std::string text = error.what();
            const std::string cause =
                text.rfind(path + ": ", 0) == 0 ? text.substr(path.size() + 2) : text;
            throw DesignError(path, "", cause);
        }
    }
};

}  // namespace

std::unique_ptr<DesignLoader> makeStepDesignLoader() {
    return std::make_unique<StepDesignLoader>();
}

}  // namespace fusionsim
