#include "reader/f0001/SwipCard_Lib_x/Audio/CSwiper_MyLogger.h"

#include <utility>

#include "platform/foundation/Log.h"
#include "platform/media/AudioStatus.h"
#include "reader/f0001/SwipCard_Lib_x/Audio/CSwiper_MySettings.h"

namespace nvx::reader {

namespace {

using platform::media::fourCharCode;
using Named = std::pair<int32_t, std::string_view>;

constexpr Named kSessionStatuses[] = {
    {0, "kAudioSessionNoError"},
    {fourCharCode("!act"), "kAudioSessionNotActiveError"},
    {fourCharCode("!cat"), "kAudioSessionIncompatibleCategory"},
    {fourCharCode("!ini"), "kAudioSessionNotInitialized"},
    {fourCharCode("!siz"), "kAudioSessionBadPropertySizeError"},
    {fourCharCode("ini?"), "kAudioSessionInitializationError"},
    {fourCharCode("init"), "kAudioSessionAlreadyInitialized"},
    {fourCharCode("nohw"), "kAudioServicesNoHardwareError"},
    {fourCharCode("pty?"), "kAudioSessionUnsupportedPropertyError"},
    {fourCharCode("?cat"), "kAudioSessionNoCategorySet"},
    {fourCharCode("what"), "kAudioSessionUnspecifiedError"},
};

constexpr Named kFileStatuses[] = {
    {0, "noErr"},
    {fourCharCode("wht?"), "kAudioFileUnspecifiedError"},
    {fourCharCode("typ?"), "kAudioFileUnsupportedFileTypeError"},
    {fourCharCode("fmt?"), "kAudioFileUnsupportedDataFormatError"},
    {fourCharCode("pty?"), "kAudioFileUnsupportedPropertyError"},
    {fourCharCode("!siz"), "kAudioFileBadPropertySizeError"},
    {fourCharCode("prm?"), "kAudioFilePermissionsError"},
    {fourCharCode("optm"), "kAudioFileNotOptimizedError"},
    {fourCharCode("chk?"), "kAudioFileInvalidChunkError"},
    {fourCharCode("off?"), "kAudioFileDoesNotAllow64BitDataSizeError"},
    {fourCharCode("pck?"), "kAudioFileInvalidPacketOffsetError"},
    {fourCharCode("dta?"), "kAudioFileInvalidFileError"},
    {fourCharCode("op??"), "kAudioFileOperationNotSupportedError"},
    {-38, "kAudioFileNotOpenError"},
    {-39, "kAudioFileEndOfFileError"},
    {-40, "kAudioFilePositionError"},
};

template <size_t N>
std::string_view nameIn(const Named (&table)[N], int32_t status) {
  for (const auto& [code, name] : table) {
    if (code == status) return name;
  }
  return {};
}

void logStatus(std::string_view operation, std::string_view name) {
  if (!CSwiper_MySettings::isDebug() || name.empty()) return;
  platform::log::info("CSwiper", "[MyLogger] [" + std::string(operation) + "] " + std::string(name));
}

}  // namespace

void CSwiper_MyLogger::Log(std::string_view text, bool forceLog) {
  if (forceLog || CSwiper_MySettings::isDebug()) platform::log::info("CSwiper", text);
}

std::string_view CSwiper_MyLogger::audioSessionStatusName(int32_t status) { return nameIn(kSessionStatuses, status); }
std::string_view CSwiper_MyLogger::audioFileStatusName(int32_t status) { return nameIn(kFileStatuses, status); }

void CSwiper_MyLogger::LogAudioSessionResultCodes(int32_t status) {
  logStatus("LogAudioSessionResultCodes", audioSessionStatusName(status));
}
void CSwiper_MyLogger::LogAudioSessionSetActive(int32_t status) {
  logStatus("LogAudioSessionSetActive", audioSessionStatusName(status));
}
void CSwiper_MyLogger::LogAudioSessionInitialize(int32_t status) {
  logStatus("LogAudioSessionInitialize", audioSessionStatusName(status));
}
void CSwiper_MyLogger::LogAudioFileClose(int32_t status) { logStatus("LogAudioFileClose", audioFileStatusName(status)); }

}  // namespace nvx::reader
