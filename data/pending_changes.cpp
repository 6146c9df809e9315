#include "pending_changes.h"

#include "directory.h"

void ConfirmPendingChanges(Directory& directory, const AskToSave& askToSave) {
    if (directory.showsCity()) {
        if (!directory.tel.isModified())
            return;
        if (askToSave())
            directory.tel.post();
        else
            directory.tel.cancel();
    } else if (directory.licht.isModified()) {
        directory.licht.post();
    }
}
