#pragma once
// How the console answers the engine's message boxes: questions get Yes
// (--yes), are asked on a terminal with the box's default, or get No without
// one; boxes with only OK are printed and the run goes on.

#include <istream>
#include <ostream>
#include <string>

#include "update/host.h"

namespace tarnvel::console {

enum class AnswerMode { Yes, Ask, No };

/// The mode of a run: --yes wins; else a terminal on standard input asks.
AnswerMode ChooseAnswerMode(bool yes, bool inputIsTerminal);

/// Prints the box on Out and returns its answer. In Ask mode the operator
/// types on In: Enter takes the default, else a button's name or its first
/// letter; the end of input takes the box's Esc answer.
DialogButton AnswerDialog(const DialogRequest& request, AnswerMode mode, std::istream& in, std::ostream& out);

/// The button's English name ("Yes", "No", "OK", ...).
std::string ButtonName(DialogButton button);

}  // namespace tarnvel::console
