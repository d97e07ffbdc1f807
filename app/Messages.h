// The program's own message texts and captions that the engine shows, each in one place.
#pragma once

namespace Msg
{
// Settings store
inline constexpr const char* kRegisterErrorCaption = "Register error";

// Project checks
inline constexpr const char* kDamagedLength = "TGP - файл поврежден, и поэтому проверка его длины невозможна!";
inline constexpr const char* kDamagedHeaderCaption = "Tonegrove: Ошибка";
inline constexpr const char* kFutureVersion =
    "Этот файл возможно создан в будущих версиях Tonegrove, и поэтому не может быть воспроизведен!";
inline constexpr const char* kFutureVersionCaption = "Ошибка!";
inline constexpr const char* kDamagedRecordCaption = "Ошибка";
} // namespace Msg
