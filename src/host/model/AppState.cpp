#include "host/model/AppState.h"

namespace host::detail {

void resetState(AppState& state, const UiLayout& layout);

AppState& appState() {
    static AppState* state = [] {
        auto* s = new AppState();
        resetState(*s, UiLayout::standard());
        return s;
    }();
    return *state;
}

std::vector<std::string> takeDialogAnswer(FileDialogRequest shown) {
    AppState& state = appState();
    state.dialogs.push_back(std::move(shown));
    if (state.dialogAnswers.empty()) return {};
    std::vector<std::string> answer = std::move(state.dialogAnswers.front());
    state.dialogAnswers.pop_front();
    return answer;
}

std::unordered_set<const adsk::core::EventHandler*>& liveHandlers() {
    static auto* handlers = new std::unordered_set<const adsk::core::EventHandler*>();
    return *handlers;
}

}  // namespace host::detail
