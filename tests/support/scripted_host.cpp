#include "support/scripted_host.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace tarnvel::testing {

void ScriptedHost::SaveExceptionToLog(const std::string& text) {
  entries.push_back(text);
  if (!logFailure.empty()) throw std::runtime_error(logFailure);
  const auto action = actions_.find(text);
  if (action != actions_.end()) {
    const std::function<void()> run = std::move(action->second);
    actions_.erase(action);
    run();
  }
}

DialogButton ScriptedHost::ShowDialog(const DialogRequest& request) {
  dialogs.push_back(request);
  if (onDialog) onDialog(request);
  if (answers_.empty()) {
    // Informational boxes with a single OK need no script.
    if (request.buttons.size() == 1) return request.buttons.front();
    ADD_FAILURE() << "unexpected question: " << request.text;
    return request.defaultButton;
  }
  const DialogButton answer = answers_.front();
  answers_.pop_front();
  return answer;
}

}  // namespace tarnvel::testing
