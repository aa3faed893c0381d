// Reading a download list never crashes, always gives a header and six cells a row, and a list
// written back reads as the same cleaned cells.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "download/download_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  vorlin::DownloadGrid grid{vorlin::ParseListFile(text)};
  if (grid.RowCount() < 1) std::abort();
  const std::string written = vorlin::FormatListFile(grid);
  vorlin::DownloadGrid again{vorlin::ParseListFile(written)};
  if (again.rows.size() != grid.rows.size()) std::abort();
  for (size_t r = 0; r < grid.rows.size(); ++r) {
    for (size_t c = 0; c < grid.rows[r].size(); ++c) {
      std::string cell = grid.rows[r][c];
      for (char& ch : cell) {
        if (ch == ';') ch = ' ';
      }
      if (vorlin::CleanCell(cell) != again.rows[r][c]) std::abort();
    }
  }
  if (vorlin::FormatListFile(again) != written) std::abort();
  return 0;
}
