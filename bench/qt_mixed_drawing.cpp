#include "bench/qt_mixed_drawing.hpp"

#include <random>

namespace trazo::bench {
namespace {

// The drawing spans 0..1600 x 0..900 units, about the proportions of a 1920 x 1080 picture.
constexpr double kWidth = 1600;
constexpr double kHeight = 900;

}  // namespace

std::vector<MixedEntity> mixedDrawing(std::size_t count) {
  std::mt19937_64 random(20240601);
  std::uniform_real_distribution<double> x(0, kWidth), y(0, kHeight), step(-60, 60), radius(2, 60),
      angle(0, 6.283185307179586);
  std::uniform_int_distribution<int> percent(0, 99), colour(1, 6), lineType(0, 3);
  std::vector<MixedEntity> drawing;
  drawing.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    MixedEntity e{};
    const int p = percent(random);
    e.shape = p < 60 ? Shape::line : p < 75 ? Shape::circle : p < 90 ? Shape::arc : Shape::box;
    e.a = x(random);
    e.b = y(random);
    if (e.shape == Shape::line || e.shape == Shape::box) {
      e.c = e.a + step(random);
      e.d = e.b + step(random);
    } else {
      e.c = radius(random);
      e.d = angle(random);
      e.e = angle(random);
    }
    e.col = colour(random);
    e.lType = lineType(random);
    drawing.push_back(e);
  }
  return drawing;
}

void writeScript(const std::vector<MixedEntity>& drawing, std::ostream& out) {
  out.precision(17);
  for (const MixedEntity& e : drawing) {
    switch (e.shape) {
      case Shape::line: out << "AddLine " << e.a << ", " << e.b << ", " << e.c << ", " << e.d; break;
      case Shape::box: out << "AddBox " << e.a << ", " << e.b << ", " << e.c << ", " << e.d; break;
      case Shape::circle: out << "AddCircle " << e.a << ", " << e.b << ", " << e.c; break;
      case Shape::arc: out << "AddCircle2 " << e.a << ", " << e.b << ", " << e.c << ", " << e.d << ", " << e.e; break;
    }
    out << ", " << e.col << ", " << e.lType << ", \"\"\n";
  }
  out << "Reflash\n";
}

}  // namespace trazo::bench
