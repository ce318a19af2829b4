#include "frontends/console/console_answers.h"

#include <cctype>
#include <string>

#include "app/run_log.h"

namespace tarnvel::console {
namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string Trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

bool IsQuestion(const DialogRequest& request) {
  return !(request.buttons.empty() ||
           (request.buttons.size() == 1 && request.buttons[0] == DialogButton::Ok));
}

void PrintBox(const DialogRequest& request, std::ostream& out) {
  out << "[" << request.caption << "]\n";
  // The catalogue breaks lines with CR; a terminal wants LF.
  for (const std::string& line : SplitLines(request.text)) out << "  " << line << "\n";
}

}  // namespace

std::string ButtonName(DialogButton button) {
  // The catalogue's name without its spaces: one word to type.
  std::string name = DialogButtonCatalogueId(button);
  std::erase(name, ' ');
  return name;
}

AnswerMode ChooseAnswerMode(bool yes, bool inputIsTerminal) {
  if (yes) return AnswerMode::Yes;
  return inputIsTerminal ? AnswerMode::Ask : AnswerMode::No;
}

DialogButton AnswerDialog(const DialogRequest& request, AnswerMode mode, std::istream& in,
                          std::ostream& out) {
  PrintBox(request, out);
  if (!IsQuestion(request)) {
    out.flush();
    return request.buttons.empty() ? DialogButton::Ok : request.buttons[0];
  }
  auto has = [&request](DialogButton button) {
    for (DialogButton b : request.buttons)
      if (b == button) return true;
    return false;
  };
  if (mode != AnswerMode::Ask) {
    // Without a person to ask, Yes where allowed by --yes, else the refusal
    // the box's Esc key gives (No, or Cancel in a box without No).
    const DialogButton answer = mode == AnswerMode::Yes && has(DialogButton::Yes) ? DialogButton::Yes
                                : has(DialogButton::No)                           ? DialogButton::No
                                                                                  : request.escapeButton;
    out << "  -> " << ButtonName(answer)
        << (mode == AnswerMode::Yes ? " (--yes)\n" : " (no terminal, no --yes)\n");
    out.flush();
    return answer;
  }
  for (;;) {
    out << "  ";
    for (std::size_t i = 0; i < request.buttons.size(); ++i) {
      const DialogButton button = request.buttons[i];
      out << (i == 0 ? "" : "/") << (button == request.defaultButton ? "[" : "") << ButtonName(button)
          << (button == request.defaultButton ? "]" : "");
    }
    out << "? ";
    out.flush();
    std::string line;
    if (!std::getline(in, line)) {
      out << "\n  -> " << ButtonName(request.escapeButton) << " (end of input)\n";
      return request.escapeButton;
    }
    const std::string typed = Lower(Trimmed(line));
    if (typed.empty()) return request.defaultButton;
    for (DialogButton button : request.buttons) {
      const std::string name = Lower(ButtonName(button));
      if (typed == name || (typed.size() == 1 && typed[0] == name[0])) return button;
    }
  }
}

}  // namespace tarnvel::console
