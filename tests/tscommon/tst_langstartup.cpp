// LoadTsLang called from another library's static initialiser. The suite links the loader's source
// after this file, so this file's initialisers run before the loader's own: the loader must not
// depend on them having run.
#include "tslang.h"

#include <gtest/gtest.h>

namespace {

const HINSTANCE s_atStartUp = LoadTsLang(LANGID(MAKELANGID(LANG_ENGLISH, SUBLANG_DEFAULT)), 0);

} // namespace

TEST(LoadTsLang, WorksFromAnotherLibrarysStaticInitialiser)
{
    EXPECT_NE(s_atStartUp, nullptr);
    EXPECT_EQ(LoadTsLang(LANGID(MAKELANGID(LANG_ENGLISH, SUBLANG_DEFAULT)), 0), s_atStartUp)
        << "the same file answers with the same handle";
}
