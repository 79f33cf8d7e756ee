#pragma once
// Runs a session against the add-in: the host's side of every step.

#include <iosfwd>
#include <map>
#include <string>
#include <vector>

#include "host/DesignBuilder.h"
#include "tools/fusion-sim/AddinLibrary.h"
#include "tools/fusion-sim/CommandLine.h"

namespace fusionsim {

class Simulator {
  public:
    // Message boxes and errors go to err, the control list to out.
    Simulator(const AddinLibrary& addin, std::ostream& out, std::ostream& err);
    ~Simulator();

    // 0 when every add-in call went well, 1 when one failed or a command showed
    // a message box, 2 when a design file could not be opened: the session ends
    // there, the add-in is stopped if it runs, and the message names the step.
    int execute(const std::vector<Step>& steps);

    // A design already loaded (and checked) from path: its open step uses it
    // instead of reading the file again.
    void provide(const std::string& path, host::DocumentData design);

    // An add-in run before the first step and stopped after the last.
    void addStartupAddin(const std::string& name, const AddinLibrary& addin);

  private:
    void step(const Step& step);
    template <class Call>
    void guarded(Call&& call);
    std::string prefix(const Step& step) const;

    const AddinLibrary& addin_;
    std::ostream& out_;
    std::ostream& err_;
    std::map<std::string, host::DocumentData> provided_;
    std::vector<std::pair<std::string, const AddinLibrary*>> startup_;
    bool running_ = false;
    int status_ = 0;
};

}  // namespace fusionsim
