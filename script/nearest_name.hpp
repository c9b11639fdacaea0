// The nearest of a list of names to one that was misspelt, for a "did you mean" hint.
#pragma once

#include <cstddef>
#include <string_view>

namespace trazo::script {

// Edits that turn `a` into `b`: insertions, deletions, substitutions and swaps of two
// neighbours, ASCII case ignored.
std::size_t editDistance(std::string_view a, std::string_view b);

// How many edits a name may be off and still be suggested: a third of its length, at least one.
std::size_t suggestionReach(std::string_view typed);

// The first of `items` whose name (`nameOf(item)`) is fewest edits from `typed`, when it is
// within reach; empty otherwise.
template <typename Items, typename NameOf>
std::string_view nearestName(std::string_view typed, const Items& items, NameOf nameOf) {
  const std::size_t reach = suggestionReach(typed);
  std::string_view best;
  std::size_t bestDistance = reach + 1;
  for (const auto& item : items) {
    const std::string_view name = nameOf(item);
    const std::size_t lengthGap = name.size() > typed.size() ? name.size() - typed.size() : typed.size() - name.size();
    if (lengthGap >= bestDistance) continue;  // at least that many edits
    const std::size_t distance = editDistance(typed, name);
    if (distance < bestDistance) best = name, bestDistance = distance;
  }
  return best;
}

}  // namespace trazo::script
