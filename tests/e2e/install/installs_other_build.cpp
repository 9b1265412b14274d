// A default installation by a setup.exe of another build, named by the
// environment variable QV_SETUP_UNDER_TEST (a Windows path): the wizard
// walked with its defaults to the finish page and left without starting
// the application. Run by scripts/check-signing.sh on the signed build;
// what was installed is checked from outside.
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/e2e/driver/scenario.h"

namespace e2e {
namespace {

TEST(OtherBuild, InstallsWithItsDefaults) {
    const char* setup = std::getenv("QV_SETUP_UNDER_TEST");
    ASSERT_NE(setup, nullptr) << "QV_SETUP_UNDER_TEST names no program";
    Wizard wizard{setup};
    ASSERT_NO_FATAL_FAILURE(WalkTo(wizard, "Form6"));
    ASSERT_NO_FATAL_FAILURE(InstallFromTasks(wizard));
    ASSERT_NO_FATAL_FAILURE(FinishWithoutStarting(wizard));
}

}  // namespace
}  // namespace e2e
