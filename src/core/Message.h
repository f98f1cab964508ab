#pragma once

#include <functional>
#include <string>

// The one way a failing operation tells the user what went wrong. The program
// installs a handler at start-up: the GUI shows a modal box with one OK button,
// the command-line tool writes to stderr, tests record the texts.

using MessageHandler = std::function<void(const std::string&)>;

// Shows the text through the installed handler (stderr when none is installed).
void ShowMessage(const std::string& text);

// Installs a handler and returns the previous one, so callers can restore it.
MessageHandler SetMessageHandler(MessageHandler handler);
