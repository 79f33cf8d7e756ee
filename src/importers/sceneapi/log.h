// The line log "sceneapi.log" in the renderer's resource folder. One FILELog
// object builds one line; its destructor writes the line. Use FILE_LOG:
//
//   FILE_LOG(logWARNING) << "NO shared handle";
//
// which writes nothing (and evaluates nothing) when the level is above the
// reporting level or no log file can be opened.
#pragma once

#include <cstdint>
#include <cstdio>
#include <sstream>
#include <string>

#include "platform/Platform.h"

enum TLogLevel : int32_t {
    logERROR,
    logWARNING,
    logINFO,
    logDEBUG,
    logDEBUG1,
    logDEBUG2,
    logDEBUG3,
    logDEBUG4,
    logNONE,
};

// "HH:mm:ss.fff": the local time of day and, as fraction, the milliseconds
// elapsed since the first time stamp modulo 1000 (so the first shows .000).
std::string NowTime();
// The same for a given tick count (NowTime passes the current one); the first
// call of the process fixes the start tick.
std::string NowTime(platform::Dword ticks);

template <typename OutputPolicy>
class Log {
  public:
    Log() = default;
    Log(const Log&) = delete;
    Log& operator=(const Log&) = delete;
    virtual ~Log();

    // Writes the line prefix and returns the stream for the message.
    std::ostringstream& start(TLogLevel level, const char* sourceFile, int sourceLine);

    static int32_t& reportingLevel();
    static const char* toString(TLogLevel level);

  protected:
    std::ostringstream os;
};

// Writes lines to "sceneapi.log" in the renderer's resource folder, opened on
// first use and kept open for the life of the process.
class Output2FILE {
  public:
    // The log stream, opened when still closed; null when there is no log.
    static FILE* logFile();
    static void emit(const std::string& text);
    // Closes the stream so that the next log site opens the file again (for
    // tests, or after the installation changed).
    static void reset();

  private:
    static FILE*& stream();
};

class FILELog : public Log<Output2FILE> {
  public:
    ~FILELog() override;
};

template <typename OutputPolicy>
Log<OutputPolicy>::~Log() {
    os << '\n';
    OutputPolicy::emit(os.str());
}

template <typename OutputPolicy>
std::ostringstream& Log<OutputPolicy>::start(TLogLevel level, const char* sourceFile,
                                             int sourceLine) {
    const std::string path = sourceFile != nullptr ? sourceFile : "";
    const size_t slash = path.find_last_of("\\/");
    os << (slash == std::string::npos ? path : path.substr(slash + 1)) << ':' << sourceLine << " - "
       << NowTime() << ' ' << toString(level) << ":  ";
    return os;
}

template <typename OutputPolicy>
int32_t& Log<OutputPolicy>::reportingLevel() {
    static int32_t level = logDEBUG4;
    return level;
}

template <typename OutputPolicy>
const char* Log<OutputPolicy>::toString(TLogLevel level) {
    static const char* const names[] = {"ERROR",  "WARNING", "INFO",   "DEBUG", "DEBUG1",
                                        "DEBUG2", "DEBUG3",  "DEBUG4", "NONE"};
    return level >= logERROR && level <= logNONE ? names[level] : "NONE";
}

#define FILE_LOG(level)                                                             \
    if ((level) > FILELog::reportingLevel() || Output2FILE::logFile() == nullptr) { \
    } else                                                                          \
        FILELog().start((level), __FILE__, __LINE__)
