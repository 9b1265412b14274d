#pragma once
// A map of a handful of entries, kept in a vector in the order they came:
// the toolkit's maps (controls by name, timers, fonts, folders by drive)
// hold a few, where a tree only adds code to every program.
#include <algorithm>
#include <utility>
#include <vector>

namespace qv {

template <typename Key, typename Value>
class SmallMap {
public:
    // Nothing when there is no entry of that key; valid until the next entry.
    template <typename K>
    Value* Find(const K& key) {
        for (auto& entry : entries_) {
            if (entry.first == key) return &entry.second;
        }
        return nullptr;
    }
    template <typename K>
    const Value* Find(const K& key) const {
        return const_cast<SmallMap*>(this)->Find(key);
    }

    // The entry of that key, made empty when there is none.
    Value& operator[](const Key& key) {
        if (Value* value = Find(key)) return *value;
        entries_.emplace_back(key, Value());
        return entries_.back().second;
    }

    void Erase(const Key& key) {
        entries_.erase(std::remove_if(entries_.begin(), entries_.end(),
                                      [&](const std::pair<Key, Value>& entry) { return entry.first == key; }),
                       entries_.end());
    }
    void Clear() { entries_.clear(); }

    auto begin() const { return entries_.begin(); }
    auto end() const { return entries_.end(); }

private:
    std::vector<std::pair<Key, Value>> entries_;
};

}  // namespace qv
