#include "raster/dash_table.hpp"

#include <cmath>

namespace trazo {

DashTable makeDashTable(DashPattern pattern, double unit) {
  DashTable table;
  table.pattern = pattern;
  table.unit = unit;
  const DashRuns runs = dashRuns(pattern, unit);
  table.on.reserve(static_cast<std::size_t>(runs.period()));
  for (std::size_t i = 0; i < runs.size(); ++i) table.on.insert(table.on.end(), static_cast<std::size_t>(runs[i]), i % 2 == 0);
  return table;
}

bool DashTable::at(double position) const {
  if (on.empty()) return true;
  const double period = static_cast<double>(on.size());
  double p = std::fmod(position, period);
  if (p < 0) p += period;
  const auto index = static_cast<std::size_t>(p);
  return on[index < on.size() ? index : on.size() - 1] != 0;
}

}  // namespace trazo
