#include "tools/fusion-sim/CommandLine.h"

#include <filesystem>
#include <sstream>

#include "platform/Platform.h"

namespace fusionsim {

std::string usageText() {
    // Library file names as this system spells them (NAME.dll, libNAME.so).
    const std::string suffix = platform::wideToUtf8(platform::kLibrarySuffix);
    const std::string addin = platform::wideToUtf8(platform::libraryFileName(L"quorell-addin"));
    return "usage: fusion-sim DESIGN --export FILE [--addin PATH] [--addins DIR]\n"
           "       fusion-sim DESIGN [--export FILE] --preview IMAGE.png [--addin PATH] [--addins DIR]\n"
           "       fusion-sim DESIGN --render [--addin PATH] [--addins DIR]\n"
           "       fusion-sim --script FILE [--addin PATH] [--addins DIR]\n"
           "       fusion-sim --help\n"
           "\n"
           "Plays Fusion 360 for the Quorell add-in: opens a design file (.json, or .step/.stp\n"
           "when built with the STEP loader) as the active document, loads the add-in library,\n"
           "calls its run, clicks its buttons, answers file dialogs and calls its stop.\n"
           "\n"
           "  DESIGN --export FILE  run, click the export button, save as FILE, stop\n"
           "  DESIGN --preview IMAGE.png\n"
           "                        export (to FILE, or IMAGE with the extension .bip) and\n"
           "                        render a preview picture of the scene\n"
           "  DESIGN --render       run, click the render button on the toolbar, stop\n"
           "  --script FILE         a session, one step per line (# starts a comment):\n"
           "                          open DESIGN       open a design and make it active\n"
           "                          click COMMAND_ID  click the placed control of that command\n"
           "                          dialog save PATH  answer the next file or folder dialog\n"
           "                                            with PATH (also: dialog open PATH)\n"
           "                          dialog open PATH | PATH ...\n"
           "                                            choose several files (separated by |)\n"
           "                                            in a dialog that allows several; its\n"
           "                                            filename() is the first, and a dialog\n"
           "                                            that takes one file or a folder gets\n"
           "                                            the first\n"
           "                          dialog cancel     cancel the next file or folder dialog\n"
           "                          run | stop        call the add-in's run or stop\n"
           "                          controls          print every placed control\n"
           "                        relative paths are taken from the script's folder;\n"
           "                        stop is called at the end if the add-in still runs\n"
           "  --addin PATH          the add-in the steps run and stop: a library, or an add-in\n"
           "                        folder NAME/ holding NAME.manifest and NAME" + suffix + " (default:\n"
           "                        " + addin + " beside fusion-sim)\n"
           "  --addins DIR          the add-ins folder: each add-in folder in it whose manifest\n"
           "                        says \"runOnStartup\": true is run before the first step\n"
           "                        and stopped after the last (default:\n"
           "                        ${XDG_CONFIG_HOME:-~/.config}/fusion-sim/AddIns); one that\n"
           "                        is already running (the same manifest id, or the same\n"
           "                        library) is named on standard error and not started again.\n"
           "                        A library's manifest is the file beside it named after it\n"
           "                        without \"lib\" (quorell-addin.manifest)\n"
           "  --deflection CM       STEP files: largest distance of a display mesh from the\n"
           "                        surface, in cm (default: 0.001 x the model's diagonal)\n"
           "  --angular-deflection RAD\n"
           "                        STEP files: largest angle between neighbouring mesh\n"
           "                        normals along a curve (default 0.5)\n"
           "\n"
           "Message boxes print \"message box: TEXT\" and exceptions leaving the add-in print\n"
           "\"error: TEXT\" on standard error. Exit status: 0 done, 1 an add-in call failed or a\n"
           "command ended in a message box (the add-in shows one only for a failure, such as\n"
           "a live link that could not be made), 2 usage, design file or add-in library error.\n";
}

Options parseCommandLine(const std::vector<std::string>& arguments) {
    Options options;
    bool modeGiven = false;
    auto setMode = [&](Options::Mode mode, const std::string& flag) {
        if (modeGiven)
            throw UsageError("choose one of --export, --render and --script (" + flag + ")");
        modeGiven = true;
        options.mode = mode;
    };
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= arguments.size() || arguments[i + 1].empty() ||
                arguments[i + 1].rfind("--", 0) == 0)
                throw UsageError(a + " needs a value");
            return arguments[++i];
        };
        if (a == "--help" || a == "-h") {
            options = Options{};
            return options;
        } else if (a == "--export") {
            setMode(Options::Export, a);
            options.exportFile = value();
        } else if (a == "--preview") {
            options.previewFile = value();
        } else if (a == "--render") {
            setMode(Options::Render, a);
        } else if (a == "--script") {
            setMode(Options::Script, a);
            options.script = value();
        } else if (a == "--addin") {
            options.addin = value();
        } else if (a == "--addins") {
            options.addinsFolder = value();
        } else if (a == "--deflection" || a == "--angular-deflection") {
            const std::string text = value();
            size_t used = 0;
            double number = 0;
            try {
                number = std::stod(text, &used);
            } catch (const std::exception&) {
            }
            if (used != text.size() || !(number > 0) || number > 1e9)
                throw UsageError(a + " needs a positive number, not " + text);
            (a == "--deflection" ? options.deflection : options.angularDeflection) = number;
        } else if (a.size() > 1 && a[0] == '-') {
            throw UsageError("unknown option " + a);
        } else if (options.design.empty()) {
            options.design = a;
        } else {
            throw UsageError("more than one design file (" + options.design + ", " + a + ")");
        }
    }
    if (!options.previewFile.empty()) {
        if (modeGiven && options.mode != Options::Export)
            throw UsageError("--preview goes with --export or alone");
        if (!modeGiven)
            options.exportFile =
                std::filesystem::path(options.previewFile).replace_extension(".bip").string();
        options.mode = Options::Export;
        modeGiven = true;
    }
    if (!modeGiven) {
        if (arguments.empty()) throw UsageError("nothing to do");
        throw UsageError("say what to do with the design: --export FILE or --render");
    }
    if (options.mode == Options::Script && !options.design.empty())
        throw UsageError("--script takes its designs from the script (open DESIGN), not " +
                         options.design);
    if (options.mode != Options::Script && options.design.empty())
        throw UsageError("no design file given");
    return options;
}

namespace {

std::string trim(const std::string& s) {
    const size_t begin = s.find_first_not_of(" \t\r");
    if (begin == std::string::npos) return "";
    return s.substr(begin, s.find_last_not_of(" \t\r") - begin + 1);
}

std::string resolved(const std::string& path, const std::string& baseFolder) {
    std::filesystem::path p(path);
    if (p.is_absolute() || baseFolder.empty()) return path;
    return (std::filesystem::path(baseFolder) / p).lexically_normal().string();
}

// "a.txt | b.txt" -> {"a.txt", "b.txt"}. A bar cannot be part of a file name on
// Windows, where the host runs, so it is taken as the separator everywhere.
std::vector<std::string> splitFiles(const std::string& text) {
    std::vector<std::string> files;
    size_t begin = 0;
    for (size_t bar; (bar = text.find('|', begin)) != std::string::npos; begin = bar + 1)
        files.push_back(trim(text.substr(begin, bar - begin)));
    files.push_back(trim(text.substr(begin)));
    return files;
}

}  // namespace

std::vector<Step> parseScript(const std::string& text, const std::string& scriptName,
                              const std::string& baseFolder) {
    std::vector<Step> steps;
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        if (auto hash = line.find('#'); hash != std::string::npos) line.erase(hash);
        line = trim(line);
        if (line.empty()) continue;
        const std::string where = scriptName + ":" + std::to_string(number);
        const size_t space = line.find_first_of(" \t");
        const std::string word = line.substr(0, space);
        const std::string rest = space == std::string::npos ? "" : trim(line.substr(space));
        auto fail = [&](const std::string& cause) -> void {
            throw UsageError(where + ": " + cause);
        };
        Step step;
        step.where = where;
        if (word == "open") {
            if (rest.empty()) fail("open needs a design file");
            step.kind = Step::Open;
            step.argument = resolved(rest, baseFolder);
        } else if (word == "click") {
            if (rest.empty() || rest.find_first_of(" \t") != std::string::npos)
                fail("click needs one command id");
            step.kind = Step::Click;
            step.argument = rest;
        } else if (word == "dialog") {
            if (rest == "cancel") {
                step.kind = Step::DialogCancel;
            } else if ((rest.rfind("save", 0) == 0 || rest.rfind("open", 0) == 0) &&
                       rest.size() > 4 && (rest[4] == ' ' || rest[4] == '\t')) {
                // Every dialog takes the oldest answer, whatever it asks for.
                step.kind = Step::DialogSave;
                for (const std::string& file : splitFiles(rest.substr(4))) {
                    if (file.empty())
                        fail("an empty file name in the answer (files are separated by |)");
                    step.files.push_back(resolved(file, baseFolder));
                }
            } else {
                fail("expected \"dialog save PATH\", \"dialog open PATH\" or \"dialog cancel\"");
            }
        } else if (word == "run" || word == "stop" || word == "controls") {
            if (!rest.empty()) fail(word + " takes nothing after it");
            step.kind = word == "run" ? Step::Run : word == "stop" ? Step::Stop : Step::Controls;
        } else {
            fail("unknown step \"" + word +
                 "\" (expected open, click, dialog, run, stop or controls)");
        }
        steps.push_back(step);
    }
    return steps;
}

std::vector<Step> stepsFor(const Options& options) {
    std::vector<Step> steps;
    steps.push_back({Step::Open, options.design, {}, ""});
    steps.push_back({Step::Run, "", {}, ""});
    if (options.mode == Options::Export) {
        steps.push_back({Step::DialogSave, "", {options.exportFile}, ""});
        steps.push_back({Step::Click, kExportCommandId, {}, ""});
    } else {
        steps.push_back({Step::Click, kRenderCommandId, {}, ""});
    }
    steps.push_back({Step::Stop, "", {}, ""});
    return steps;
}

}  // namespace fusionsim
