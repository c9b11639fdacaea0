// For as long as it lives, tells `observer` which entity the control paints next, and then
// whoever observed the control's painting before, so that a host's own observer still
// hears of every entity while the shell draws.
#pragma once

#include "control/trazo.hpp"

namespace trazo::qt {

class PaintingObserved final : public PaintObserver {
 public:
  PaintingObserved(Trazo& control, PaintObserver& observer)
      : control_(control), observer_(observer), previous_(control.paintObserver()) {
    control.observePainting(this);
  }
  ~PaintingObserved() override { control_.observePainting(previous_); }
  PaintingObserved(const PaintingObserved&) = delete;
  PaintingObserved& operator=(const PaintingObserved&) = delete;

  void paintingEntity(std::int32_t index, const Entity& entity) override {
    observer_.paintingEntity(index, entity);
    if (previous_ != nullptr) previous_->paintingEntity(index, entity);
  }

 private:
  Trazo& control_;
  PaintObserver& observer_;
  PaintObserver* previous_;
};

}  // namespace trazo::qt
