#include "tools/fusion-sim/Simulator.h"

#include <algorithm>
#include <ostream>
#include <typeinfo>

#include "host/Session.h"
#include "tools/fusion-sim/DesignLoader.h"

namespace fusionsim {

namespace {

// A bare std::exception carries no text of its own here; the Windows host shows
// "Unknown exception" for it.
std::string describe(const std::exception& e) {
    if (typeid(e) == typeid(std::exception)) return "Unknown exception";
    return e.what();
}

}  // namespace

Simulator::Simulator(const AddinLibrary& addin, std::ostream& out, std::ostream& err)
    : addin_(addin), out_(out), err_(err) {
    host::setMessageBoxSink([this](const host::MessageBoxRecord& box) {
        err_ << "message box: " << box.text << std::endl;
        // The add-in shows a message box only when a command failed.
        status_ = std::max(status_, 1);
    });
    host::setTextPaletteSink([this](const std::string& text) { out_ << text << "\n" << std::flush; });
}

Simulator::~Simulator() {
    host::setMessageBoxSink(nullptr);
    host::setTextPaletteSink(nullptr);
}

void Simulator::addStartupAddin(const std::string& name, const AddinLibrary& addin) {
    startup_.emplace_back(name, &addin);
}

int Simulator::execute(const std::vector<Step>& steps) {
    for (const auto& [name, addin] : startup_) {
        bool started = true;
        const AddinLibrary* library = addin;  // clang 14 cannot capture a structured binding
        guarded([&] { started = library->run(""); });
        if (!started) {
            err_ << "fusion-sim: the add-in " << name << ": run returned false" << std::endl;
            status_ = 1;
        }
    }
    for (const Step& s : steps) {
        try {
            step(s);
        } catch (const DesignError& e) {
            // The session ends here, but the add-in is still stopped as promised.
            err_ << prefix(s) << e.what() << std::endl;
            status_ = 2;
            break;
        }
    }
    if (running_) {
        guarded([&] { addin_.stop(""); });
        running_ = false;
    }
    for (auto it = startup_.rbegin(); it != startup_.rend(); ++it)
        guarded([&] { it->second->stop(""); });
    return status_;
}

void Simulator::provide(const std::string& path, host::DocumentData design) {
    provided_[path] = std::move(design);
}

std::string Simulator::prefix(const Step& step) const {
    return "fusion-sim: " + (step.where.empty() ? std::string() : step.where + ": ");
}

// Exceptions leaving the add-in are reported and the session goes on.
template <class Call>
void Simulator::guarded(Call&& call) {
    try {
        call();
    } catch (const std::exception& e) {
        err_ << "error: " << describe(e) << std::endl;
        status_ = std::max(status_, 1);
    } catch (...) {
        err_ << "error: Unknown exception" << std::endl;
        status_ = std::max(status_, 1);
    }
}

void Simulator::step(const Step& step) {
    switch (step.kind) {
        case Step::Open:
            if (auto it = provided_.find(step.argument); it != provided_.end()) {
                host::openDocument(std::move(it->second));
                provided_.erase(it);
            } else {
                host::openDocument(loadDesign(step.argument));
            }
            break;
        case Step::Click: {
            bool clicked = true;
            guarded([&] { clicked = host::clickControl(step.argument); });
            if (!clicked) {
                err_ << prefix(step) << "no placed control has the command id " << step.argument
                     << std::endl;
                status_ = 1;
            }
            break;
        }
        case Step::DialogSave:
            host::answerNextFileDialog(step.files);
            break;
        case Step::DialogCancel:
            host::cancelNextFileDialog();
            break;
        case Step::Run: {
            bool started = true;
            running_ = true;
            guarded([&] { started = addin_.run(""); });
            if (!started) {
                err_ << prefix(step) << "the add-in's run returned false" << std::endl;
                status_ = 1;
            }
            break;
        }
        case Step::Stop:
            running_ = false;
            guarded([&] { addin_.stop(""); });
            break;
        case Step::Controls:
            for (const host::PlacedControl& c : host::placedControls())
                out_ << c.place() << ": " << c.commandId << (c.visible ? "" : " (hidden)") << "\n";
            out_.flush();
            break;
    }
}

}  // namespace fusionsim
