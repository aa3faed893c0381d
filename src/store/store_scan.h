// The fast path of reading a store. This program writes every item block in one canonical
// shape (store_format.h): seven lines, CR LF line ends, each value one CDATA section. The
// scanner accepts exactly a sequence of such blocks and nothing else, so that it can read a
// store at memory speed, splitting the work over two threads at block boundaries.
//
// Inside that shape it checks everything the XML parser would reject (bytes XML forbids) and
// reads values as the parser does (CR LF and lone CR read as LF; the unassigned byte 0x98 kept
// as it stands, as the walk keeps it). On a
// canonical store it gives exactly the messages of the walk in store_walk.h. Anything else (a
// comment, an entity, other whitespace, another element, a malformed or cut block, a read
// error) makes it answer "not canonical" and the caller hands the whole file to that walk, so
// that results and error messages always stay the walk's.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <utility>
#include <vector>

#include "store/message_list.h"

namespace vorlin {

struct ScanOptions {
  // Bytes read at a time (a block longer than that is read whole all the same).
  size_t blockSize = size_t{1} << 20;
  // A buffer of at least this many bytes is split between two threads.
  size_t splitAtLeast = size_t{256} << 10;
  // A store read whole is scanned in stretches of this many bytes, its count told after each.
  size_t stretchSize = size_t{64} << 20;
};

// Reads a canonical store file into `out`, mapped (store_map.h): its values are spans of the
// mapping. Calls `loaded` with the count so far after each stretch. Returns false, leaving
// `out` as it was, when the file is not canonical or cannot be read.
bool ScanStoreFile(std::string_view storeName, MessageList& out,
                   const std::function<void(int)>& loaded = {}, const ScanOptions& options = {});

// The same over a copy of store bytes in memory.
bool ScanStoreText(std::string_view bytes, MessageList& out, const ScanOptions& options = {});

// The CRC-32 and byte length of the description of every block of a canonical store file, in
// store order. Returns false when the file is not canonical or cannot be read.
using DescriptionSum = std::pair<uint32_t, uint64_t>;
bool ScanStoreDescriptions(std::string_view storeName, std::vector<DescriptionSum>& sums,
                           const ScanOptions& options = {});
bool ScanStoreTextDescriptions(std::string_view bytes, std::vector<DescriptionSum>& sums,
                               const ScanOptions& options = {});

}  // namespace vorlin
