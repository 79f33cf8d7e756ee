#pragma once
// A progress bar for long work. The message may hold %p (percent done), %v (the
// current value) and %m (the number of steps: maximum minus minimum).

#include <string>

#include <Core/Base.h>

namespace adsk::core {

class ProgressDialog : public Base {
    ADSK_HOST_CLASS("adsk::core::ProgressDialog", Base)
  public:
    // Shows the dialog at minimumValue. delay: seconds before it appears.
    bool show(const std::string& title, const std::string& message, int minimumValue,
              int maximumValue, int delay = 0);
    bool hide();
    bool isShowing() const { return showing_; }

    std::string title() const { return detail::takeText(title_raw()); }
    bool title(const std::string& text);
    std::string message() const { return detail::takeText(message_raw()); }
    bool message(const std::string& text);
    int minimumValue() const { return minimum_; }
    bool minimumValue(int value);
    int maximumValue() const { return maximum_; }
    bool maximumValue(int value);
    int progressValue() const { return value_; }
    bool progressValue(int value);
    bool isCancelButtonShown() const { return cancelShown_; }
    bool isCancelButtonShown(bool shown) {
        cancelShown_ = shown;
        return true;
    }
    std::string cancelButtonText() const { return detail::takeText(cancelButtonText_raw()); }
    bool cancelButtonText(const std::string& text) {
        cancelText_ = text;
        return true;
    }
    // Nobody presses cancel in the stand-in.
    bool wasCancelled() const { return false; }

    char* title_raw() const;
    char* message_raw() const;
    char* cancelButtonText_raw() const;

  private:
    ProgressDialog() = default;
    void draw() const;
    std::string title_;
    std::string message_;
    std::string cancelText_ = "Cancel";
    int minimum_ = 0;
    int maximum_ = 100;
    int value_ = 0;
    bool cancelShown_ = true;
    bool showing_ = false;
};

}  // namespace adsk::core
