#include <gtest/gtest.h>
#include "keymora/model/keymora.h"
TEST(Smoke, Constructs) { keymora::TKeymora K; EXPECT_EQ(K.Octave(), 5); }
