#pragma once

class QCoreApplication;

// Qt's own texts (buttons, dialogs, command-line help and errors) in Russian, whatever the
// machine's locale, and Russian as the default locale. Safe to call more than once.
void useRussianTexts(QCoreApplication& app);
