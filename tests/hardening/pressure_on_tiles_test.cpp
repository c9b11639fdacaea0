// A tile pyramid under memory pressure, drawn as `trazo tiles` draws it: every allocation of
// the pyramid fails in turn (once, then from then on). A tile either comes out with the
// bytes of a run with memory, or is reported not drawn with a reason and no bytes, never a
// partial tile; the drawing stays as it was, and the pyramid drawn again with memory back
// is the reference byte for byte.
#include "control/trazo.hpp"
#include "device/device_surface.hpp"
#include "tests/hardening/failing_allocator.hpp"
#include "tests/support/store_snapshot.hpp"
#include "tools/trazo/tile_drawing.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace trazo {
namespace {

using cli::TileAt;
using testing::FailureMode;

constexpr int kSide = 64;
constexpr int kLastZoom = 1;  // five tiles: the whole picture, then its four quarters

struct Tile {
  bool drawn = false;
  std::string error;
  std::vector<unsigned char> png;
};

// The pyramid's tiles; with `failing`, the k-th allocation of their drawing fails (and,
// persistent, every later one). What the test keeps of each tile has its room beforehand.
std::vector<Tile> pyramid(Trazo& control, const qt::PictureOptions& options, std::uint64_t k = 0,
                          FailureMode mode = FailureMode::Once) {
  std::vector<Tile> tiles(5);
  for (Tile& t : tiles) {
    t.png.reserve(64 * 1024);
    t.error.reserve(256);
  }
  if (k > 0) testing::failAllocation(k, mode);
  auto tile = tiles.begin();
  for (int z = 0; z <= kLastZoom; ++z)
    for (int x = 0; x < (1 << z); ++x)
      for (int y = 0; y < (1 << z); ++y, ++tile) {
        const cli::TileDrawing d = cli::drawTile(control, TileAt{z, x, y, kSide}, options, tile->png);
        tile->drawn = d.drawn;
        tile->error = d.error;
      }
  testing::stopFailing();
  return tiles;
}

TEST(AllocationFailure, TilesUnderPressure) {
  for (const bool antialias : {false, true}) {
    // As the tool runs a script: P1 is one tile while the entities are added.
    DeviceSurface picture;
    picture.setDevice(kSide, kSide, 96, 96);
    Trazo control;
    control.attachPicture(picture);
    ASSERT_EQ(control.onInitialize(), status::ok);
    for (int i = 0; i < 120; ++i) {
      ASSERT_EQ(control.AddLine(i % 37, i % 11, 40 - i % 29, 30 - i % 13, i % 7, 1 + i % 5, u"tag"), status::ok);
      ASSERT_EQ(control.AddCircle2(i % 41, i % 17, 1 + i % 5, i, 3.0 * i, i % 6, i % 4, u""), status::ok);
      if (i % 10 == 0) {
        ASSERT_EQ(control.AddText(i % 31, i % 27, 2, 15.0 * i, 2, u"text", u""), status::ok);
      }
    }
    qt::PictureOptions options;
    options.antialias = antialias;
    options.threads = 3;
    const std::string drawing = testing::entityTrace(control.store());
    const std::vector<Tile> reference = pyramid(control, options);
    for (const Tile& t : reference) ASSERT_TRUE(t.drawn && !t.png.empty()) << t.error;

    for (const FailureMode mode : {FailureMode::Once, FailureMode::Persistent}) {
      SCOPED_TRACE(std::string(antialias ? "antialiased" : "crisp") +
                   (mode == FailureMode::Once ? ", once" : ", from then on"));
      for (std::uint64_t k = 1;; ++k) {
        ASSERT_LT(k, 100000u) << "no end to the allocations";
        const std::vector<Tile> during = pyramid(control, options, k, mode);
        if (!testing::failureInjected()) {
          EXPECT_GT(k, 1u) << "the pyramid allocates nothing";
          break;
        }
        bool anyFailed = false;
        for (std::size_t i = 0; i < during.size(); ++i) {
          const Tile& t = during[i];
          anyFailed = anyFailed || !t.drawn;
          if (t.drawn) {
            EXPECT_TRUE(t.png == reference[i].png) << "tile " << i << ", allocation " << k;
          } else {
            EXPECT_FALSE(t.error.empty()) << "tile " << i << ", allocation " << k;
            EXPECT_TRUE(t.png.empty()) << "tile " << i << ", allocation " << k;
          }
        }
        EXPECT_TRUE(anyFailed || mode == FailureMode::Once) << "allocation " << k;
        EXPECT_EQ(testing::entityTrace(control.store()), drawing) << "allocation " << k;
        const std::vector<Tile> again = pyramid(control, options);
        for (std::size_t i = 0; i < again.size(); ++i)
          EXPECT_TRUE(again[i].drawn && again[i].png == reference[i].png) << "tile " << i << ", allocation " << k;
      }
    }
    control.onTerminate();
  }
}

}  // namespace
}  // namespace trazo
