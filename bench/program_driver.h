#pragma once

#include <QString>

#include "modal_answerer.h"
#include "startup.h"

class QAction;
class QTableView;

// What the user types into the search panel; empty inputs stay untouched.
struct SearchFields {
    QString phoneDigits{};  // typed into the masked phone input from its first place
    QString surname{}, street{}, house{}, apartment{};
};

// The real program started in-process on a directory (its connection string) and driven
// through its own controls and commands, as a user drives it. Windows it opens are answered
// by `modals()`.
class ProgramDriver {
public:
    explicit ProgramDriver(const QString& connectionString);

    Tmainform& window() { return *m_program.mainform; }
    Directory& directory() { return window().directory(); }
    ModalAnswerer& modals() { return m_modals; }
    QTableView& grid() { return *m_grid; }

    void fillSearch(const SearchFields& fields);
    // Runs a command by its action's name; throws when it brought up an unexpected window.
    void trigger(const char* action);
    void gridKey(int key);
    // Lets the window catch up with what happened: pending events, the repaint included.
    void idle();
    int gridRepaints() const;

private:
    // Throws Error when a window opened that nobody expected (an error report, a warning)
    // or an expected one never came, naming it; the benchmark fails instead of measuring it.
    void checkWindows(const char* during);

    ModalAnswerer m_modals;  // first, so that windows opened during start-up are answered too
    Program m_program;
    QTableView* m_grid = nullptr;
    class PaintCounter* m_paints = nullptr;
};
