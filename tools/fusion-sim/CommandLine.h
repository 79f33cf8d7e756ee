#pragma once
// The command line and the session script of fusion-sim.

#include <stdexcept>
#include <string>
#include <vector>

namespace fusionsim {

// Ids of the add-in's buttons that the shortcut modes click.
inline constexpr const char* kExportCommandId = "quorell12ExportCommandOnPanelCPP";
inline constexpr const char* kRenderCommandId = "quorell12RenderCommandOnQATCPP";

class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct Options {
    enum Mode { Help, Export, Render, Script };
    Mode mode = Help;
    std::string design;
    std::string exportFile;
    std::string previewFile;  // --preview: the exported scene rendered to this PNG
    std::string script;
    std::string addin;         // empty: the default beside fusion-sim
    std::string addinsFolder;  // empty: the default per-user folder
    double deflection = 0;           // STEP meshes, cm; 0: 0.001 x the model's diagonal
    double angularDeflection = 0.5;  // STEP meshes, radians
};

struct Step {
    enum Kind { Open, Click, DialogSave, DialogCancel, Run, Stop, Controls };
    Kind kind = Run;
    std::string argument;  // design file or command id
    std::vector<std::string> files;  // a dialog's answer: one file or folder, or several files
    std::string where;     // "session.txt:3", for messages
};

// UsageError for anything it cannot take.
Options parseCommandLine(const std::vector<std::string>& arguments);

// One step per line, "#" starts a comment. Relative paths are taken relative to
// baseFolder. UsageError names the script and line.
std::vector<Step> parseScript(const std::string& text, const std::string& scriptName,
                              const std::string& baseFolder);

// The session a shortcut mode (export or render) stands for.
std::vector<Step> stepsFor(const Options& options);

std::string usageText();

}  // namespace fusionsim
