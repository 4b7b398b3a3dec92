// The start-up prompt for the program password: a small modal window named
// "PasswordForm" with the edit "PasswordEdit" and OK / Cancel; OK stays
// disabled while the edit is empty (an empty password is not accepted).
#pragma once

#include <string>

class TComponent;

// True when OK was pressed; `typed` then holds the text.
bool AskProgramPassword(TComponent* owner, std::string& typed);
