// The display settings dialog as start-up runs it when "Options.txt" is missing: the desktop
// window over the dialog's logic, until the player closes it.
#pragma once

#include "app/options.h"
#include "settings/settings_form.h"

namespace velmora {

// Shows the dialog and returns once it is closed; Options then holds what the game starts with.
// Without a desktop (no display) nothing is shown and the game starts windowed at 800 x 600.
// False when the dialog could not be shown.
bool RunSettingsDialog();
bool RunSettingsDialog(TSettingsSystem& system);

// Test hook: the next dialog, once its window is shown, is answered as a player who accepts what it
// offers would answer it: its OK button, then yes to the question whether to save. The file is
// written by the dialog's own handlers.
void AnswerSettingsDialogWithOk();

// A record without a usable size (the dialog cancelled on its cleared defaults) starts the game
// windowed at 800 x 600.
void EnsureStartSize(TOptionsRec& rec);

} // namespace velmora
