#include "app/EmbeddedFrames.h"

namespace tessel {

EmbeddedFrames& embeddedFrames() {
  static EmbeddedFrames frames;
  return frames;
}

} // namespace tessel
