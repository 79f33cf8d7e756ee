// The commands of quorell-scene. Each takes the arguments after its name and
// returns the exit status: 0 done, 1 the scene could not be read or written,
// 2 bad arguments.
#pragma once

namespace scenetool {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

int catCommand(int argc, char** argv);
int infoCommand(int argc, char** argv);
int renderCommand(int argc, char** argv);

}  // namespace scenetool
