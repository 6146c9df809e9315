#pragma once

#include <functional>

class Directory;

// Asks the user whether to save the city directory's changed entry; true means Yes.
using AskToSave = std::function<bool()>;

// Settles unsaved changes of the shown directory before anything changes what the grid
// shows: a changed city entry is saved or dropped as the user answers, a changed personal
// entry is saved without asking. A failing save throws and so stops the caller.
void ConfirmPendingChanges(Directory& directory, const AskToSave& askToSave);
