// The engines and outputs the library uses on this system.
#include "platform/audio/gstreamer.h"
#include "platform/codec.h"
#include "speech/ecilibrary.h"
#include "speech/espeakspeechservice.h"
#include "speech/ibmchstts.h"
#include "speech/kvsynthtextcore.h"
#include "speech/speechsettings.h"
#include "speech/spvoice.h"
#include "speech/viavoicetts.h"

namespace wf {

SpeechCoreEnvironment systemSpeechEnvironment() {
    SpeechCoreEnvironment environment;
    environment.createVoice = [](int kind) -> std::unique_ptr<IKVSpeechVoice> {
        switch (kind) {
            case kKindIbmChinese:
                return std::make_unique<CIbmChstts>(
                    [] { return std::make_unique<AbsentChineseTts>(); });
            case kKindViavoice:
                return std::make_unique<CViavoiceTts>(
                    [] { return std::make_unique<EciLibrary>(); });
            case kKindSpeechService:
                return std::make_unique<CSpVoice>(
                    [] { return std::make_unique<EspeakSpeechService>(); }, userInterfaceLanguage);
            default:
                return nullptr;
        }
    };
    environment.audioOutputNames = [] {
        std::vector<std::u16string> names;
        for (const AudioOutputInfo& output : audioOutputs())
            names.push_back(utf8ToUtf16(output.name));
        return names;
    };
    return environment;
}

}  // namespace wf
