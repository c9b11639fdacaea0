#include "tools/trazo/entity_description.hpp"

#include "picking/picker.hpp"

namespace trazo::cli {
namespace {

// As many digits as the script most likely gave, without the noise of a double's last ones.
constexpr int kSignificantDigits = 10;

QString number(double value) { return QString::number(value, 'g', kSignificantDigits); }

QString point(double x, double y) { return QStringLiteral("(%1, %2)").arg(number(x), number(y)); }

QString fromUtf16(std::u16string_view text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

QString describeEntity(std::int32_t index, const Entity& e) {
  QString words = QStringLiteral("%1 %2").arg(QString::fromLatin1(entityKindName(e.Kind))).arg(index);
  if (!e.Tag.empty()) words += QStringLiteral(" \"%1\"").arg(fromUtf16(e.Tag));
  words += QStringLiteral(": ");
  switch (e.Kind) {
    case kKindLine: return words + QStringLiteral("%1 to %2").arg(point(e.Value1, e.Value2), point(e.Value3, e.Value4));
    case kKindCircle:
      return words + QStringLiteral("centre %1 radius %2").arg(point(e.Value1, e.Value2), number(e.Value3));
    case kKindArc:
      return words + QStringLiteral("centre %1 radius %2 from %3 to %4 rad")
                         .arg(point(e.Value1, e.Value2), number(e.Value3), number(e.Value4), number(e.Value5));
    case kKindText:
      return words + QStringLiteral("\"%1\" at %2 height %3 angle %4°")
                         .arg(fromUtf16(e.Text), point(e.Value1, e.Value2), number(e.Value3), number(e.Value4));
    default: return words.chopped(2);
  }
}

}  // namespace trazo::cli
