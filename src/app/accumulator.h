// The accumulator: a register of message numbers that successive found sets are combined
// into by union, intersection, symmetric difference and difference.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vorlin {

class Accumulator {
 public:
  // Message numbers in the order they entered (or of the last sort); no number twice.
  const std::vector<int>& Items() const { return items_; }
  size_t Count() const { return items_.size(); }
  bool Contains(int n) const;

  // Adds n at the end unless it is a member already.
  void Add(int n);
  void Clear();
  // Makes `items` the members, in that order (a reordering, or a reordering with numbers left
  // out; repeats are dropped).
  void Reorder(std::vector<int> items);
  // Takes the whole item list out, leaving the accumulator empty.
  std::vector<int> TakeItems();

  // The four combining operations. `found` holds message numbers in store order without
  // repeats. Each leaves the result here; the caller then empties the found set.
  void Union(const std::vector<int>& found);
  void Intersection(const std::vector<int>& found);
  void NotIntersection(const std::vector<int>& found);
  void Exception(const std::vector<int>& found);

 private:
  void Set(int n);
  // Membership by message number, one bit each; grows with the largest member.
  std::vector<uint64_t> bits_;
  std::vector<int> items_;
};

// Membership of a found set: one bit per message number.
class NumberSet {
 public:
  explicit NumberSet(const std::vector<int>& numbers);
  bool Contains(int n) const {
    auto i = static_cast<size_t>(n) / 64;
    return n >= 0 && i < bits_.size() && (bits_[i] >> (n % 64) & 1) != 0;
  }

 private:
  std::vector<uint64_t> bits_;
};

}  // namespace vorlin
