#include <Core/UserInterface/ProgressDialog.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "host/model/HostArray.h"

namespace adsk::core {

using host::detail::hostText;

namespace {

// The message with %p, %v and %m filled in.
std::string filled(const std::string& message, int minimum, int maximum, int value) {
    const long long steps = (long long)maximum - minimum;
    const long long done = std::clamp((long long)value - minimum, 0LL, std::max(steps, 0LL));
    const long long percent = steps > 0 ? done * 100 / steps : 100;
    std::string out;
    for (size_t i = 0; i < message.size(); ++i) {
        if (message[i] == '%' && i + 1 < message.size()) {
            const char c = message[i + 1];
            if (c == 'p' || c == 'v' || c == 'm') {
                out += std::to_string(c == 'p' ? percent : c == 'v' ? (long long)value : steps);
                ++i;
                continue;
            }
        }
        out += message[i];
    }
    return out;
}

}  // namespace

// Drawn in place on standard error, and only when that is a terminal: the host
// program's output stays what the add-in wrote.
void ProgressDialog::draw() const {
    if (!showing_ || !isatty(STDERR_FILENO)) return;
    const long long steps = std::max((long long)maximum_ - minimum_, 1LL);
    const long long done = std::clamp((long long)value_ - minimum_, 0LL, steps);
    constexpr int kWidth = 30;
    const std::string bar = std::string(size_t(done * kWidth / steps), '#') +
                            std::string(size_t(kWidth - done * kWidth / steps), '-');
    std::fprintf(stderr, "\r%s [%s] %s\033[K", title_.c_str(), bar.c_str(),
                 filled(message_, minimum_, maximum_, value_).c_str());
    std::fflush(stderr);
}

bool ProgressDialog::show(const std::string& title, const std::string& message,
                          int minimumValue, int maximumValue, int /*delay*/) {
    title_ = title;
    message_ = message;
    minimum_ = minimumValue;
    maximum_ = maximumValue;
    value_ = minimumValue;
    showing_ = true;
    draw();
    return true;
}

bool ProgressDialog::hide() {
    if (showing_ && isatty(STDERR_FILENO)) {
        std::fputs("\n", stderr);
        std::fflush(stderr);
    }
    showing_ = false;
    return true;
}

bool ProgressDialog::title(const std::string& text) {
    title_ = text;
    draw();
    return true;
}
bool ProgressDialog::message(const std::string& text) {
    message_ = text;
    draw();
    return true;
}
bool ProgressDialog::minimumValue(int value) {
    minimum_ = value;
    draw();
    return true;
}
bool ProgressDialog::maximumValue(int value) {
    maximum_ = value;
    draw();
    return true;
}
bool ProgressDialog::progressValue(int value) {
    value_ = value;
    draw();
    return true;
}

char* ProgressDialog::title_raw() const {
    return hostText(title_);
}
char* ProgressDialog::message_raw() const {
    return hostText(message_);
}
char* ProgressDialog::cancelButtonText_raw() const {
    return hostText(cancelText_);
}

}  // namespace adsk::core
