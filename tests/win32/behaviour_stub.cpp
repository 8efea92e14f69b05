// Stands in for the shared behaviour suite until it is on this branch.
#include "Check.h"
#include "Probe.h"

#include <windows.h>

TEST_CASE("a click on D0 sets bit 0")
{
    wchar_t self[MAX_PATH]{};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const auto program = startProgram(std::filesystem::path(self).parent_path());
    program->click({layout::Name::chkD, 0});
    CHECK_EQ(program->text({layout::Name::txtDualAusgabe, 0}), std::string("1"), "digit");
    CHECK_EQ(program->focused(), std::string("chkD(0)"), "focus");
}

int main(int argc, char** argv)
{
    return check::runAll(argc > 1 ? argv[1] : "");
}
