#pragma once

#include <QHash>
#include <QString>
#include <array>
#include <mutex>
#include <optional>
#include <vector>

// An entry's five fields as the city directory holds them, or none when it is not there.
using EntryFields = std::array<std::optional<QString>, 5>;
using EntryState = std::optional<EntryFields>;

// One write of an operator: the entry's state as the operator read it and the state the write
// makes. Every write leads to a state of its own (it carries a token no other write uses), so
// the writes of an entry that the server kept form one chain from its first state to its last.
struct LedgerWrite {
    qint64 key = 0;
    EntryState before;         // none: the write added the entry
    EntryState after;          // none: the write deleted it
    bool acknowledged = true;  // false: it failed with an error other than a conflict, and
                               // may or may not have landed
};

struct LedgerVerdict {
    int entries = 0;           // entries written to
    int lost = 0;              // acknowledged writes the server does not hold, nor a later
                               // acknowledged write that started from them
    int silentOverwrites = 0;  // acknowledged writes that started from a state another
                               // acknowledged write had already left
};

// What the operators of the load benchmark wrote (they record from their threads), and the
// check of it against the server's entries at the end.
class WriteLedger {
public:
    void record(LedgerWrite write);
    std::vector<qint64> keys() const;
    // `onServer` holds the state of every key written; a key missing from it is not there.
    LedgerVerdict verify(const QHash<qint64, EntryFields>& onServer) const;

private:
    mutable std::mutex m_mutex;
    QHash<qint64, std::vector<LedgerWrite>> m_writes;
};
