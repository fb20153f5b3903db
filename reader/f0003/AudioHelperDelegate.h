// What the 0003-0006 audio link reports to its driver. Messages and raw cards arrive on the
// input queue's thread; errors of the audio set-up on the thread that started it.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "reader/f0003/CardData.h"

namespace nvx::reader {

class AudioHelperDelegate {
 public:
  virtual ~AudioHelperDelegate() = default;
  // 1: a reader that sends framed messages; anything else: one that passes the raw stripe.
  virtual int readerType() const = 0;
  // An error of the audio link (code and text of the driver's table).
  virtual void onError(int32_t code, const std::string& message) {}
  // One accepted message, the whole frame.
  virtual void onReceivedMessage(std::vector<uint8_t> message) {}
  // Raw stripes: a card made from a swipe, or a swipe that gave no track.
  virtual void onCardData(CardData card) {}
  virtual void onSwipeError() {}
};

}  // namespace nvx::reader
