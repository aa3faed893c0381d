// A sorted list of keys without duplicates, compared without regard to letter case (plain
// ascending order for the digit-only keys). The store index (".BCRC32") and the read index
// (".RMCRC32") beside a store are such lists, one key per line, CR LF, ascending.
#pragma once

#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace vorlin {

class KeyIndex {
 public:
  bool Contains(std::string_view key) const;
  // Adds a non-empty key that is not present yet; returns whether it was added.
  bool Add(std::string_view key);
  // Removes the key; returns whether it was present.
  bool Remove(std::string_view key);
  void Clear();
  size_t Size() const { return sorted_.size() + added_.size(); }
  // All keys in ascending order.
  const std::vector<std::string>& Keys() const;
  // Replaces the content with `keys` (empty ones skipped, repeats dropped, any order).
  void Assign(std::vector<std::string> keys);

  // Replaces the content with the lines of the file (blank lines skipped; lines that are not
  // keys are kept as they are and match nothing). A missing file gives an empty index; a file
  // that cannot be read throws Error and leaves the index unchanged.
  void Load(std::string_view fileName);
  // Writes every key followed by CR LF, through a temporary file renamed over the old one.
  void Save(std::string_view fileName) const;

 private:
  struct Less {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const;
  };
  void Merge() const;

  // Additions go to a small tree and are merged into the sorted vector in batches, so that
  // adding many keys to a large index costs no more than a few passes over it.
  mutable std::vector<std::string> sorted_;
  mutable std::set<std::string, Less> added_;
};

// Side files of a store: the store name without its extension (from the last "." of the
// final path component), followed by ".BCRC32" or ".RMCRC32".
std::string StoreIndexName(std::string_view storeName);
std::string ReadIndexName(std::string_view storeName);

}  // namespace vorlin
