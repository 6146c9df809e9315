#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <chrono>
#include <cstdint>
#include <latch>
#include <vector>

#include "write_ledger.h"

// What one simulated operator of the load benchmark does, as a help desk works: mostly
// searches, some edits, adds and deletes, and edits of a few "hot" entries that every
// operator changes now and then, so that their edits conflict. Between two actions, and
// between reading an entry and saving it, the operator thinks (types, reads the grid).
enum class Operation {
    SurnameSearch,  // a surname with initials, as a caller names a subscriber
    StreetSearch,   // a street and a house
    PhoneSearch,    // a whole number or its first four digits
    HotSearch,      // finds one hot entry before editing it
    Edit,           // saves a changed street of an entry found by surname
    HotEdit,        // the same on a hot entry
    Add,            // saves a new entry
    Delete,         // deletes an entry found by surname
};
inline constexpr int kOperations = 8;

// The mix: what an operator does next, and how often (the shares add up to 100 %). Three
// actions in four are searches; the writes start with a search too.
enum class Action { SurnameSearch, AddressSearch, PhoneSearch, Edit, HotEdit, Add, Delete };
struct ActionShare {
    Action action;
    int percent;
    const char* what;
};
inline constexpr ActionShare kMix[] = {
    {Action::SurnameSearch, 50, "surname search"},
    {Action::AddressSearch, 18, "street and house search"},
    {Action::PhoneSearch, 8, "phone search"},
    {Action::Edit, 8, "edit of an entry found by surname"},
    {Action::HotEdit, 7, "edit of a hot entry"},
    {Action::Add, 5, "add"},
    {Action::Delete, 4, "delete of an entry found by surname"},
};
static_assert([] {
    int sum = 0;
    for (const ActionShare& share : kMix)
        sum += share.percent;
    return sum;
}() == 100);

// What every operator of one run shares. The inputs are texts found in the directory.
struct LoadScript {
    QString connectionString;
    QStringList surnames;                          // each finds 15-30 entries
    QList<std::pair<QString, QString>> addresses;  // street and house
    QStringList phones;                            // five digits
    QStringList hotSurnames;                       // each finds one hot entry
    // Thinking takes a random time, exponentially distributed with this mean (cut at five
    // times the mean).
    std::chrono::milliseconds meanThink{2000};
    std::chrono::seconds duration{60};
    std::latch* connected = nullptr;  // every operator arrives once connected, then all start
    WriteLedger* ledger = nullptr;
};

// What one operator did.
struct OperatorTally {
    std::array<std::vector<double>, kOperations> ms;  // the time of each one done
    std::array<int, kOperations> refused{};           // conflicts refused (EditConflict)
    std::array<int, kOperations> failed{};            // any other error
    std::vector<int> surnameRows;                     // entries found by each surname search
    int refusedWithoutChange = 0;  // refused, yet the entry still held what was read
    int actions = 0;
    QString connectFailure;  // why the operator could not start, if it could not

    // Adds what another operator did: the times and rows joined, the counts summed.
    OperatorTally& operator+=(const OperatorTally& other);
};

// One operator with a connection and data sets of its own (the program's Directory). It
// connects, waits until every operator has, and works for `script.duration`. Run it in a
// thread of its own; it touches nothing it shares but the ledger.
OperatorTally runOperator(const LoadScript& script, int id, std::uint64_t seed);
