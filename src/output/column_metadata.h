#pragma once
// The per-station column metadata that every yearly file carries.

#include "stations/station_catalogue.h"

namespace gaumo {

/// Gives every station "m3/s", "float", zero coefficients and value1 = 1.
inline void set_column_metadata(StationCatalogue& cat) {
  for (std::int32_t k = 0; k < cat.nsta; ++k) {
    const auto i = static_cast<std::size_t>(k);
    cat.columnunits[i].assign("        m3/s");
    cat.columntype[i].assign("       float");
    cat.coeff1[i] = cat.coeff2[i] = cat.coeff3[i] = cat.coeff4[i] = 0.0f;
    cat.value1[i] = 1;
  }
}

}  // namespace gaumo
