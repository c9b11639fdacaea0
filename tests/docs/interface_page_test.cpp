// The interface page (docs/interface.md) against the member table: its table of members must
// list the rows of kMembers in their order, each with its name, read-only mark, dispatch id,
// parameters and their types, and its event table the MouseMove event, so that a change to
// one shows up as a failure until the other follows.
#include "automation/member_table.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace trazo {
namespace {

std::string typeName(VarType type) {
  switch (type) {
    case VarType::Short: return "Short";
    case VarType::Long: return "Long";
    case VarType::Single: return "Single";
    case VarType::Double: return "Double";
    case VarType::String: return "String";
    case VarType::Boolean: return "Boolean";
    case VarType::Empty: break;
  }
  return "Empty";
}

bool isTypeName(const std::string& word) {
  for (VarType t :
       {VarType::Short, VarType::Long, VarType::Single, VarType::Double, VarType::String, VarType::Boolean}) {
    if (word == typeName(t)) return true;
  }
  return false;
}

std::string hex(std::int32_t id) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%X", static_cast<unsigned>(id));
  return text;
}

// A row in one form for the page and the table: "2 AddBox 0x60030005 method x1:Double ...".
std::string rowOf(std::size_t number, const MemberInfo& m) {
  std::string row = std::to_string(number) + " " + std::string(m.name) + " " + hex(m.dispId);
  row += m.kind == MemberKind::PropertyGet ? " read-only" : " method";
  for (const ParamInfo& p : m.params) row += " " + std::string(p.name) + ":" + typeName(p.type);
  if (m.result != VarType::Empty) row += " returns:" + typeName(m.result);
  return row;
}

// A dispatch id as the page writes it, in hexadecimal (0x60030001) or decimal (1).
std::string dispIdOf(const std::string& cell) {
  char* end = nullptr;
  const unsigned long id = std::strtoul(cell.c_str(), &end, 0);
  if (cell.empty() || *end != '\0') return "unreadable(" + cell + ")";
  return hex(static_cast<std::int32_t>(id));
}

std::vector<std::string> cellsOf(const std::string& line) {
  std::vector<std::string> cells;
  std::size_t start = line.find('|') + 1;
  for (std::size_t bar = line.find('|', start); bar != std::string::npos; bar = line.find('|', start)) {
    std::string cell = line.substr(start, bar - start);
    cell.erase(0, cell.find_first_not_of(' '));
    cell.erase(cell.find_last_not_of(' ') + 1);
    cells.push_back(cell);
    start = bar + 1;
  }
  return cells;
}

// "`x1`, `y1` Double, `Tag` String" as " x1:Double y1:Double Tag:String"; "returns Long" as
// " returns:Long". Words that are no type ("(16-bit)", "by reference") are left out.
std::string parametersOf(const std::string& cell) {
  std::string out;
  std::vector<std::string> waiting;
  bool returns = false;
  std::istringstream words(cell);
  for (std::string word; words >> word;) {
    if (!word.empty() && word.back() == ',') word.pop_back();
    if (word.size() > 2 && word.front() == '`' && word.back() == '`') {
      waiting.push_back(word.substr(1, word.size() - 2));
    } else if (word == "returns") {
      returns = true;
    } else if (isTypeName(word)) {
      if (returns) out += " returns:" + word;
      for (const std::string& name : waiting) out += " " + name + ":" + word;
      waiting.clear();
      returns = false;
    }
  }
  for (const std::string& name : waiting) out += " " + name + ":untyped";
  return out;
}

// The rows of the page's table whose header line is `header`, in the form of rowOf. `numbered`
// tables begin with the row's number; the others are numbered from 1 here.
std::vector<std::string> pageRows(const std::string& header, bool numbered) {
  std::ifstream page(TRAZO_INTERFACE_PAGE);
  EXPECT_TRUE(page) << TRAZO_INTERFACE_PAGE;
  std::string line;
  while (std::getline(page, line) && line != header) {
  }
  EXPECT_EQ(line, header) << "no table with this header in " << TRAZO_INTERFACE_PAGE;
  std::getline(page, line);  // |---|---|
  std::vector<std::string> rows;
  while (std::getline(page, line) && line.starts_with("|")) {
    std::vector<std::string> cells = cellsOf(line);
    if (!numbered) cells.insert(cells.begin(), std::to_string(rows.size() + 1));
    if (cells.size() != 4) {
      rows.push_back("malformed: " + line);
      continue;
    }
    std::string member = cells[1];
    const bool readOnly = member.ends_with(" (read-only)");
    if (readOnly) member.erase(member.size() - std::string(" (read-only)").size());
    if (member.size() > 2 && member.front() == '`' && member.back() == '`')
      member = member.substr(1, member.size() - 2);
    rows.push_back(cells[0] + " " + member + " " + dispIdOf(cells[2]) + (readOnly ? " read-only" : " method") +
                   parametersOf(cells[3]));
  }
  return rows;
}

TEST(InterfacePage, ListsTheMembersOfTheTableInTheirOrder) {
  std::vector<std::string> table;
  for (std::size_t i = 0; i < kMembers.size(); ++i) table.push_back(rowOf(i + 1, kMembers[i]));
  EXPECT_EQ(pageRows("| # | member | dispatch id | parameters |", true), table);
}

TEST(InterfacePage, ListsTheEventOfTheTable) {
  EXPECT_EQ(pageRows("| event | dispatch id | parameters |", false),
            std::vector<std::string>{rowOf(1, kMouseMoveEvent)});
}

}  // namespace
}  // namespace trazo
