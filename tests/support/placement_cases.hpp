// The table of P1's placements (tests/placement_cases.txt), read for the C++ tests that run
// it through the core and through a shell: its cases, each a list of assignments with the
// status and the pixels expected after each.
#pragma once

#include "control/picture_placement.hpp"
#include "placement_cases_text.hpp"

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace trazo::testing {

// The table's pixels are those of a client area of this many pixels to the inch.
inline constexpr double kPlacementCasesDpi = 96;

struct PlacementStep {
  std::string property;  // Left, Top, Width, Height, or "-" for none
  float twips = 0;
  bool refused = false;
  PixelPlacement expected;
  int line = 0;
};

struct PlacementCase {
  std::string name;
  std::vector<PlacementStep> steps;
};

// The cases in the table's order; a line that cannot be read ends the list with a case
// named after it, whose one step has line 0.
inline std::vector<PlacementCase> placementCases() {
  std::vector<PlacementCase> cases;
  std::istringstream table(kPlacementCasesText);
  std::string text;
  for (int line = 1; std::getline(table, text); ++line) {
    if (text.empty() || text[0] == '#') continue;
    std::istringstream fields(text);
    std::string name, twips, status;
    PlacementStep step;
    step.line = line;
    fields >> name >> step.property >> twips >> status >> step.expected.left >> step.expected.top >>
        step.expected.width >> step.expected.height;
    char* end = nullptr;
    step.twips = static_cast<float>(std::strtod(twips.c_str(), &end));
    const bool known = step.property == "-" || step.property == "Left" || step.property == "Top" ||
                       step.property == "Width" || step.property == "Height";
    if (!fields || !known || (step.property != "-" && *end != '\0') || (status != "ok" && status != "invalid")) {
      cases.push_back({"unreadable line " + std::to_string(line), {PlacementStep{}}});
      break;
    }
    step.refused = status == "invalid";
    if (cases.empty() || cases.back().name != name) cases.push_back({name, {}});
    cases.back().steps.push_back(step);
  }
  return cases;
}

// Makes the step's assignment on `p1`.
inline Status assign(PicturePlacement& p1, const PlacementStep& step) {
  if (step.property == "Left") return p1.setLeft(step.twips);
  if (step.property == "Top") return p1.setTop(step.twips);
  if (step.property == "Width") return p1.setWidth(step.twips);
  if (step.property == "Height") return p1.setHeight(step.twips);
  return status::ok;
}

}  // namespace trazo::testing
