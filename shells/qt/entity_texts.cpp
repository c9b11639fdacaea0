#include "shells/qt/entity_texts.hpp"

#include "render/entity_colour.hpp"

#include <QImage>
#include <QPainter>

#include <new>

namespace trazo::qt {

void EntityTexts::paintingEntity(std::int32_t index, const Entity& entity) {
  if (entity.Kind != kKindText) return;
  if (vector_ != nullptr) {
    DeviceText text;
    if (placeText(picture_, entity, EntityColor(entity.Col), text)) vector_->text(text);
    return;
  }
  try {
    kept_.push_back(index);
  } catch (const std::bad_alloc&) {
    // the characters are an extra; without memory the boxes alone show
  }
}

void EntityTexts::drawOver(PixelBuffer& pixels, const PixelWindow& window) const {
  if (kept_.empty() || pixels.width() == 0 || pixels.height() == 0) return;
  QImage image(reinterpret_cast<uchar*>(pixels.data()), pixels.width(), pixels.height(),
               static_cast<qsizetype>(pixels.width()) * 4, QImage::Format_RGB32);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::TextAntialiasing);
  painter.translate(-window.left, -window.top);
  const QFont font = textFont();
  const DeviceRect area{static_cast<double>(window.left), static_cast<double>(window.top),
                        static_cast<double>(window.left) + pixels.width(),
                        static_cast<double>(window.top) + pixels.height()};
  for (const std::int32_t index : kept_) {
    const std::optional<Entity> entity = store_.at(index);
    DeviceText text;
    if (entity && placeText(picture_, *entity, EntityColor(entity->Col), text) && text.reaches(area))
      paintText(painter, font, text);
  }
}

}  // namespace trazo::qt
