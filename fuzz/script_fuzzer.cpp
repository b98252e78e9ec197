// Runs any bytes as a keymora-script session: the engine must never crash, hang or read out of
// bounds, and must answer with exit status 0 or 2.
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string_view>

#include "engine/script.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    std::ostringstream Out;
    keymora::script::TScriptEngine Engine(Out);
    const int Status =
        Engine.Run(std::string_view(reinterpret_cast<const char*>(Data), Size));
    if (Status != 0 && Status != 2) std::abort();
    return 0;
}
