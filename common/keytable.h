#ifndef KEYTABLE_H
#define KEYTABLE_H

#include <cstddef>

// A screen's keys as data: each screen lists the host keys it handles with
// the action each takes, in one table of this shape. The tables differ where
// the screens do; a key a screen does not list is not its business.
namespace KeyTable {

enum Action { Unhandled, FocusPrevious, FocusNext, Activate, Cancel };

struct Binding
{
    int key;
    Action action;
};

// The action table gives key; Unhandled for a key it does not list.
template<std::size_t Size> Action find(const Binding (&table)[Size], int key)
{
    for (std::size_t i = 0; i < Size; ++i) {
        if (table[i].key == key)
            return table[i].action;
    }
    return Unhandled;
}

} // namespace KeyTable

#endif // KEYTABLE_H
