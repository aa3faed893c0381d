#include "app/accumulator.h"

#include <algorithm>
#include <utility>

namespace vorlin {

NumberSet::NumberSet(const std::vector<int>& numbers) {
  int top = -1;
  for (int n : numbers) top = std::max(top, n);
  bits_.assign(static_cast<size_t>(top + 64) / 64, 0);
  for (int n : numbers) {
    if (n >= 0) bits_[static_cast<size_t>(n) / 64] |= uint64_t{1} << (n % 64);
  }
}

bool Accumulator::Contains(int n) const {
  auto i = static_cast<size_t>(n) / 64;
  return n >= 0 && i < bits_.size() && (bits_[i] >> (n % 64) & 1) != 0;
}

void Accumulator::Set(int n) {
  auto i = static_cast<size_t>(n) / 64;
  if (i >= bits_.size()) bits_.resize(std::max(i + 1, bits_.size() * 2), 0);
  bits_[i] |= uint64_t{1} << (n % 64);
}

void Accumulator::Add(int n) {
  if (n < 0 || Contains(n)) return;
  Set(n);
  items_.push_back(n);
}

void Accumulator::Clear() {
  items_.clear();
  items_.shrink_to_fit();
  bits_.clear();
  bits_.shrink_to_fit();
}

void Accumulator::Reorder(std::vector<int> items) {
  Clear();
  items_.reserve(items.size());
  for (int n : items) Add(n);
}

std::vector<int> Accumulator::TakeItems() {
  std::vector<int> items = std::move(items_);
  Clear();
  return items;
}

void Accumulator::Union(const std::vector<int>& found) {
  items_.reserve(items_.size() + found.size());
  for (int n : found) Add(n);
}

void Accumulator::Intersection(const std::vector<int>& found) {
  NumberSet inFound(found);
  std::vector<int> old = std::move(items_);
  Clear();
  // Members keep their order; found messages that were not members never enter.
  for (int n : old) {
    if (inFound.Contains(n)) Add(n);
  }
}

void Accumulator::NotIntersection(const std::vector<int>& found) {
  NumberSet inFound(found);
  std::vector<int> old = std::move(items_);
  std::vector<uint64_t> oldBits = std::move(bits_);
  Clear();
  auto wasMember = [&](int n) {
    auto i = static_cast<size_t>(n) / 64;
    return i < oldBits.size() && (oldBits[i] >> (n % 64) & 1) != 0;
  };
  for (int n : old) {
    if (!inFound.Contains(n)) Add(n);
  }
  for (int n : found) {
    if (n >= 0 && !wasMember(n)) Add(n);
  }
}

void Accumulator::Exception(const std::vector<int>& found) {
  NumberSet inFound(found);
  std::vector<int> old = std::move(items_);
  Clear();
  for (int n : old) {
    if (!inFound.Contains(n)) Add(n);
  }
}

}  // namespace vorlin
