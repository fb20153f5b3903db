// The events every card-reader driver reports to its one receiver, always on the main thread.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace nvx::reader {

// Codes of onError(code, message) shared by the reader families.
enum ReaderErrorCode : int32_t {
  kReaderErrorLink = -1,          // the Wi-Fi link failed or the box sent an unrecognised reply
  kReaderErrorBusy = -2,          // a session or command is under way, or the box is busy
  kReaderErrorKsn = -3,           // the reader's serial number could not be read
  kReaderErrorSecondDriver = -4,  // a second driver object where one is allowed; "0008": audio path
  kReaderErrorAudioPath = -5,     // the audio path could not be started
  kReaderErrorAudioSession = -6,  // the audio session could not be set up
};

// The receiver of a driver's events. A receiver handles every event (the reader hub does); the
// defaults do nothing. A receiver may call driver operations, change screens, or let the driver
// go inside an event. No reader reports its firmware version, battery voltage or an illegal
// state, so there is no onGetFirmwareVersionCompleted, onGetBatteryVoltageCompleted or
// onIllegalStateError.
class CSwiperControllerDelegate {
 public:
  virtual ~CSwiperControllerDelegate() = default;

  virtual void onDevicePlugged() {}
  virtual void onDeviceUnplugged() {}
  virtual void onNoDeviceDetected() {}
  virtual void onWaitingForDevice() {}
  virtual void onWaitingForCardSwipe() {}
  virtual void onCardSwipeDetected() {}
  virtual void onDecodingStart() {}
  // The card result. formatID and cardHolderName may be absent (nil); encTracks is the reader's
  // encrypted track block as it came, randomNumber the swipe's random value in hexadecimal,
  // maskedPAN keeps the first 6 and the last 4 digits.
  virtual void onDecodeCompleted(const std::optional<std::string>& formatID, const std::string& ksn,
                                 const std::string& encTracks, int32_t track1Length,
                                 int32_t track2Length, int32_t track3Length,
                                 const std::string& randomNumber, const std::string& maskedPAN,
                                 const std::string& expiryDate,
                                 const std::optional<std::string>& cardHolderName) {}
  // decodeResult: the family's value.
  virtual void onDecodeError(int32_t decodeResult) {}
  virtual void onTimeout() {}
  virtual void onInterrupted() {}
  virtual void onGetKsnCompleted(const std::string& ksn) {}
  virtual void onError(int32_t errorCode, const std::string& errorMessage) {}
};

}  // namespace nvx::reader
