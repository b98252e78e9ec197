// PaintToPng against the table of write faults: a paint that cannot be written keeps the old
// picture, leaves no temporary and says why.
#include <gtest/gtest.h>

#include "keymora/headless/headless_window.h"
#include "keymora/model/keymora.h"
#include "keymora/qt/image.h"
#include "support/write_faults.h"

namespace keymora::qt {
namespace {

using keymora::testing::TFaultCase;

class PaintWriteFaults : public ::testing::TestWithParam<TFaultCase> {};

TEST_P(PaintWriteFaults, OldPictureKept) {
    THeadlessForm Form;
    TKeymora K;
    K.SetParent(&Form);
    THeadlessWindow Window(K);
    K.SetBounds(0, 0, 300, 60);
    ASSERT_FALSE(PaintToImage(K).isNull());  // the painter's application exists before a fork
    keymora::testing::CheckWriteFault(GetParam(), "paint", [&](const std::filesystem::path& P) {
        std::string Error;
        return PaintToPng(K, P.native(), Error) ? std::nullopt : std::optional(Error);
    }, 100, "out.png");
}

INSTANTIATE_TEST_SUITE_P(Faults, PaintWriteFaults,
                         ::testing::ValuesIn(keymora::testing::WriteFaultCases),
                         [](const auto& Info) { return std::string(Info.param.Name); });

}  // namespace
}  // namespace keymora::qt
