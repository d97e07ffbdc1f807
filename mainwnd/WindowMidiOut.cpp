#include "mainwnd/WindowMidiOut.h"

#include "lang/Translate.h"
#include "mainwnd/MainTexts.h"
#include "platform/Prompter.h"
#include "sound/ProgramOutputs.h"

#include <QString>

std::string SoundFontFallbackText(const SSoundFontFallback& fallback)
{
    const auto Q = [](const std::string& str) { return QString::fromStdString(str); };
    QString strText = fallback.bFallbackLoaded
                          ? Tr(Txt::kSoundFontFallback)
                                .arg(Q(fallback.strChosen), Q(fallback.strWhy), Q(fallback.strFallback))
                          : Tr(Txt::kSoundFontNone)
                                .arg(Q(fallback.strChosen), Q(fallback.strWhy), Q(fallback.strFallback),
                                     Q(fallback.strFallbackWhy));
    return strText.toStdString();
}

std::unique_ptr<IMidiOut> MakeWindowMidiOut(IPrompter& prompter, const CSettings& settings,
                                            FAudioOutFactory fAudioOut)
{
    return MakeSettingsMidiOut(std::move(fAudioOut), settings,
                               [&prompter](const SSoundFontFallback& fallback)
                               {
                                   prompter.Tell(SMessage{SoundFontFallbackText(fallback),
                                                          Txt::kSoundFontCaption, EIcon::Warning,
                                                          EButtons::Ok, false});
                               });
}
