// F12.3 cells: the portable path, and the choice among the three paths.

#include <cstddef>

#include "output/f12_3_cells_paths.h"
#include "text/fixed_fields.h"

namespace gaumo {
namespace cells {

void format_cells(char* dst, const float* values, std::size_t n) {
  for (std::size_t k = 0; k < n; ++k)
    format_f12_3(dst + 12 * k, values[k]);
}

}  // namespace cells

using cells::format_cells;
#if GAUMO_X86_TARGETS
using cells::format_cells_avx2;
using cells::format_cells_avx512;
#endif

bool has_cells_path(CellsPath path) {
  switch (path) {
  case CellsPath::kOneByOne:
    return true;
#if GAUMO_X86_TARGETS
  case CellsPath::kAvx2:
    return __builtin_cpu_supports("avx2");
  case CellsPath::kAvx512:
    return __builtin_cpu_supports("avx512f") &&
           __builtin_cpu_supports("avx512bw") &&
           __builtin_cpu_supports("avx512dq");
#else
  case CellsPath::kAvx2:
  case CellsPath::kAvx512:
    return false;
#endif
  }
  return false;
}

void format_f12_3_cells_by(CellsPath path, char* dst, const float* values,
                           std::size_t n) {
  switch (path) {
#if GAUMO_X86_TARGETS
  case CellsPath::kAvx512:
    format_cells_avx512(dst, values, n);
    return;
  case CellsPath::kAvx2:
    format_cells_avx2(dst, values, n);
    return;
#endif
  default:
    format_cells(dst, values, n);
    return;
  }
}

void format_f12_3_cells(char* dst, const float* values, std::size_t n) {
  static const CellsPath best =
      has_cells_path(CellsPath::kAvx512) ? CellsPath::kAvx512
      : has_cells_path(CellsPath::kAvx2) ? CellsPath::kAvx2
                                         : CellsPath::kOneByOne;
  format_f12_3_cells_by(best, dst, values, n);
}

}  // namespace gaumo
