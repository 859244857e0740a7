// Shared by every test of this program that lays out text: fontconfig keeps
// its font cache to the end of the process by design, which the leak check
// would otherwise report.  Only one definition of this hook may exist per
// program.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}
