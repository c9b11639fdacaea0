#include "raster/dash_table.hpp"

#include "raster/smooth_dash.hpp"

#include <cmath>

namespace trazo {

DashTable makeDashTable(DashPattern pattern, double unit) {
  DashTable table;
  table.pattern = pattern;
  table.unit = unit;
  const DashRuns runs = dashRuns(pattern, unit);
  table.on.reserve(static_cast<std::size_t>(runs.period()));
  for (std::size_t i = 0; i < runs.size(); ++i)
    table.on.insert(table.on.end(), static_cast<std::size_t>(runs[i]), i % 2 == 0);
  table.smooth = smoothDashWeights(table.on);
  table.perPeriod = table.on.empty() ? 0 : 1.0 / static_cast<double>(table.on.size());
  return table;
}

}  // namespace trazo
