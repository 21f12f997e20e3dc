#pragma once
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Things shared by name and counted by their users: archives by file name, effect textures by
// their whole name, picture textures by entry name. Element i of the three arrays belongs
// together. It sits at the bottom so that the pak library and the effect textures, which do not
// include each other, can both use it. Items are the owner's to free.
template <typename Item>
struct RefTable {
    std::vector<std::string> names;
    std::vector<Item> items;
    std::vector<int32_t> refs;

    size_t size() const { return items.size(); }
    bool empty() const { return items.empty(); }

    // First exact, case-sensitive match; -1 when absent.
    int find(const char* name) const {
        for (size_t i = 0; i < names.size(); i++) {
            if (names[i] == name) return (int)i;
        }
        return -1;
    }
    // First element holding `item`; -1 when none.
    int findItem(const Item& item) const {
        for (size_t i = 0; i < items.size(); i++) {
            if (items[i] == item) return (int)i;
        }
        return -1;
    }
    // Appends an element with `users` users; returns its index.
    int add(const std::string& name, const Item& item, int32_t users = 1) {
        names.push_back(name);
        items.push_back(item);
        refs.push_back(users);
        return (int)items.size() - 1;
    }
    // One more user of element i; returns its item.
    Item& acquire(int i) {
        refs[(size_t)i]++;
        return items[(size_t)i];
    }
    // One user fewer of element i; true when none is left (the owner then frees and removes it).
    // A release nobody acquired is a caller's bug: it changes nothing, so the count never goes
    // below zero and nothing is freed twice, and debug builds stop on it.
    bool release(int i) {
        assert(refs[(size_t)i] > 0 && "release without a matching acquire");
        if (refs[(size_t)i] <= 0) return false;
        return --refs[(size_t)i] == 0;
    }
    void remove(int i) {
        names.erase(names.begin() + i);
        items.erase(items.begin() + i);
        refs.erase(refs.begin() + i);
    }
};
